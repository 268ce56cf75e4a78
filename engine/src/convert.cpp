#include "ezedudu/convert.h"

#include "cell_bands.h"

#include "ezedudu/glyph_choice.h"
#include "ezedudu/glyph_ramp.h"
#include "ezedudu/nfo_text.h"

#include <atomic>
#include <chrono>
#include <future>

namespace ezedudu {
namespace {

// Tells the observer how many bands are finished; false when it cancels.
class ProgressReport {
public:
    ProgressReport(ConversionObserver* listener, std::int64_t gridCols, std::int64_t gridRows)
        : observer(gridCols > 0 ? listener : nullptr), cols(gridCols), rows(gridRows)
    {
    }

    bool Tell(std::int64_t bandsDone) const
    {
        if (!observer)
            return true;
        observer->CellRowDone(cols * bandsDone - 1, cols * rows);
        return !observer->CancelRequested();
    }

private:
    ConversionObserver* observer;
    std::int64_t cols;
    std::int64_t rows;
};

// Raises the flag when the scope is left, normally or by an exception, so
// that the other half stops before it is waited for.
struct RaiseOnExit {
    std::atomic<bool>& flag;
    ~RaiseOnExit() { flag = true; }
};

// The upper half of the bands converts on this thread, which alone talks to
// the observer; the lower half on a second one, which only counts.
bool ConvertHalves(const RowSource& source, const ProgressReport& report, std::int64_t rows, const LevelTable& output,
                   char* text)
{
    const std::int64_t width = source.Width();
    const std::int64_t height = source.Height();
    const std::int64_t split = rows / 2;
    std::atomic<std::int64_t> bandsDone = 0;
    std::atomic<bool> stop = false;

    auto lower = std::async(std::launch::async, [&] {
        CellBands bands(width, height, split, rows, output, text, [&] {
            ++bandsDone;
            return !stop;
        });
        return source.ReadRows(RowStep * split, height, bands);
    });
    const RaiseOnExit stopLower{stop};
    CellBands upper(width, height, 0, split, output, text, [&] { return report.Tell(++bandsDone); });
    bool going = source.ReadRows(0, RowStep * split + 1, upper);
    while (going && lower.wait_for(std::chrono::milliseconds(16)) != std::future_status::ready)
        going = report.Tell(bandsDone);
    if (!going)
        stop = true;
    const bool lowerFinished = lower.get();
    return going && lowerFinished;
}

// Whether each cell's glyph follows from its own level alone, so that the
// converter can write glyphs at once.
bool GlyphsAtOnce(const ArtOptions& art)
{
    return !art.tone.levelsAuto && art.dither == Dither::None && art.sharpen == 0;
}

// The converter's output table: glyphs through the tone curve, or the bare
// levels when the art is finished afterwards.
LevelTable OutputTable(const ArtOptions& art)
{
    LevelTable table{};
    if (!GlyphsAtOnce(art)) {
        for (int level = 0; level < 256; ++level)
            table[level] = static_cast<std::uint8_t>(level);
        return table;
    }
    const LevelTable tone = ToneTable(art.tone);
    for (int level = 0; level < 256; ++level)
        table[level] = GlyphRamp(tone[level]);
    return table;
}

// Turns the levels of a converted frame into glyphs (see DrawArt).
void FinishArt(char* text, std::int64_t cols, std::int64_t rows, const ArtOptions& art)
{
    LevelGrid levels{cols, rows, std::vector<std::uint8_t>(static_cast<std::size_t>(cols * rows))};
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t col = 0; col < cols; ++col)
            levels.At(col, row) = static_cast<std::uint8_t>(text[NfoLineStart(cols, row) + col]);
    DrawArt(std::move(levels), 1, art, text);
}

} // namespace

std::optional<std::string> ConvertRows(const RowSource& source, ConversionObserver* observer, int threads,
                                       const ArtOptions& art)
{
    const std::int64_t cols = source.Width() / ColumnStep;
    const std::int64_t rows = source.Height() / RowStep;
    std::string text = NfoFrame(cols, rows);
    const ProgressReport report(observer, cols, rows);
    const LevelTable output = OutputTable(art);

    bool finished = false;
    if (threads > 1 && source.CanSplit() && rows >= 2) {
        finished = ConvertHalves(source, report, rows, output, text.data());
    } else {
        std::int64_t bandsDone = 0;
        CellBands bands(source.Width(), source.Height(), 0, rows, output, text.data(),
                        [&] { return report.Tell(++bandsDone); });
        finished = source.ReadRows(0, source.Height(), bands);
    }
    if (!finished)
        return std::nullopt;
    if (!GlyphsAtOnce(art))
        FinishArt(text.data(), cols, rows, art);
    return text;
}

std::optional<std::string> ConvertPicture(const Canvas& canvas, ConversionObserver* observer, const ArtOptions& art)
{
    return ConvertRows(CanvasRows(canvas), observer, 1, art);
}

} // namespace ezedudu
