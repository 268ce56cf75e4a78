#include "ezedudu/convert.h"

#include "cell_bands.h"

#include "ezedudu/glyph_choice.h"
#include "ezedudu/glyph_ramp.h"
#include "ezedudu/nfo_text.h"

#include <atomic>
#include <chrono>
#include <future>
#include <vector>

namespace ezedudu {
namespace {

// Tells the observer how many cells are finished; false when it cancels.
class ProgressReport {
public:
    ProgressReport(ConversionObserver* listener, std::int64_t gridCols, std::int64_t gridRows)
        : observer(gridCols > 0 ? listener : nullptr), cells(gridCols * gridRows)
    {
    }

    bool Tell(std::int64_t cellsDone) const
    {
        if (!observer)
            return true;
        observer->CellRowDone(cellsDone - 1, cells);
        return !observer->CancelRequested();
    }

private:
    ConversionObserver* observer;
    std::int64_t cells;
};

// The most cell columns converted in one pass over the rows: what a pass
// holds (column sums, the cells' levels, a row of pixels) grows with them,
// about 60 bytes a cell on each thread. Wider art is converted a slice of
// columns at a time, each slice a pass of its own.
constexpr std::int64_t SliceCols = std::int64_t(1) << 18;

// The slices of cols cell columns over rows bands. Art without cells still
// gets one empty slice, so that its rows are read and a corrupt one is found.
std::vector<ColumnSpan> CellSlices(std::int64_t cols, std::int64_t rows)
{
    if (cols == 0 || rows == 0)
        return {ColumnSpan{}};
    std::vector<ColumnSpan> slices;
    for (std::int64_t first = 0; first < cols; first += SliceCols)
        slices.push_back({first, std::min(cols, first + SliceCols)});
    return slices;
}

// Raises the flag when the scope is left, normally or by an exception, so
// that the other half stops before it is waited for.
struct RaiseOnExit {
    std::atomic<bool>& flag;
    ~RaiseOnExit() { flag = true; }
};

// What converting one slice needs to know besides the slice.
struct SliceJob {
    const RowSource& source;
    const ProgressReport& report;
    std::int64_t rows;
    const LevelTable& output;
    char* text;
    std::atomic<std::int64_t>& cellsDone;
};

// The upper half of the bands converts on this thread, which alone talks to
// the observer; the lower half on a second one, which only counts.
bool ConvertHalves(const SliceJob& job, ColumnSpan slice)
{
    const RowSource& source = job.source;
    const std::int64_t width = source.Width();
    const std::int64_t height = source.Height();
    const std::int64_t split = job.rows / 2;
    const ColumnSpan pixels = CellBands::PixelSpan(width, slice.first, slice.end);
    std::atomic<bool> stop = false;

    auto lower = std::async(std::launch::async, [&] {
        CellBands bands(width, height, {split, job.rows, slice.first, slice.end}, job.output, job.text, [&] {
            job.cellsDone += slice.Count();
            return !stop;
        });
        return source.ReadSpan(RowStep * split, height, pixels, bands);
    });
    const RaiseOnExit stopLower{stop};
    CellBands upper(width, height, {0, split, slice.first, slice.end}, job.output, job.text,
                    [&] { return job.report.Tell(job.cellsDone += slice.Count()); });
    bool going = source.ReadSpan(0, RowStep * split + 1, pixels, upper);
    while (going && lower.wait_for(std::chrono::milliseconds(16)) != std::future_status::ready)
        going = job.report.Tell(job.cellsDone);
    if (!going)
        stop = true;
    const bool lowerFinished = lower.get();
    return going && lowerFinished;
}

bool ConvertSlice(const SliceJob& job, ColumnSpan slice)
{
    const RowSource& source = job.source;
    CellBands bands(source.Width(), source.Height(), {0, job.rows, slice.first, slice.end}, job.output, job.text,
                    [&] { return job.report.Tell(job.cellsDone += slice.Count()); });
    return source.ReadSpan(0, source.Height(), CellBands::PixelSpan(source.Width(), slice.first, slice.end), bands);
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

std::optional<Page> ConvertRows(const RowSource& source, ConversionObserver* observer, int threads,
                                const ArtOptions& art)
{
    const std::int64_t cols = source.Width() / ColumnStep;
    const std::int64_t rows = source.Height() / RowStep;
    Page page;
    char* const text = page.AddBlankLines(cols, rows).origin;
    const ProgressReport report(observer, cols, rows);
    const LevelTable output = OutputTable(art);
    std::atomic<std::int64_t> cellsDone = 0;
    const SliceJob job{source, report, rows, output, text, cellsDone};
    const bool halves = threads > 1 && source.CanSplit() && rows >= 2;
    for (const ColumnSpan slice : CellSlices(cols, rows))
        if (!(halves ? ConvertHalves(job, slice) : ConvertSlice(job, slice)))
            return std::nullopt;
    if (!GlyphsAtOnce(art))
        FinishArt(text, cols, rows, art);
    return page;
}

std::optional<Page> ConvertPicture(const Canvas& canvas, ConversionObserver* observer, const ArtOptions& art)
{
    return ConvertRows(CanvasRows(canvas), observer, 1, art);
}

} // namespace ezedudu
