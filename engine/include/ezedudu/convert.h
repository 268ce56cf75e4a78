#pragma once

#include "ezedudu/canvas.h"
#include "ezedudu/dither.h"
#include "ezedudu/page.h"
#include "ezedudu/row_source.h"
#include "ezedudu/tone.h"

#include <cstdint>
#include <optional>

namespace ezedudu {

// One character cell covers this many picture pixels; its block reaches one
// pixel further each way, so neighbouring cells share a column and a row.
inline constexpr int ColumnStep = 2;
inline constexpr int RowStep = 3;

// What the caller of a conversion hears while the grid is walked. It is only
// ever called on the thread that started the conversion.
class ConversionObserver {
public:
    virtual ~ConversionObserver() = default;

    // As rows of cells finish: value is cols * (rows finished) - 1, the last
    // cell so far, and maximum is cols * rows. Not called when the picture
    // has no cells.
    virtual void CellRowDone(std::int64_t value, std::int64_t maximum) = 0;

    // Checked after each report; true ends the conversion without a result.
    virtual bool CancelRequested() { return false; }
};

enum class GlyphSet {
    Shades, // the full block, the three shades and the space
    Blocks, // and the four half blocks, for edges
    Lines,  // and shapes that draw thin lines and corners: box drawing, ■, slashes
};

// How cell levels become glyphs; the defaults give every cell the glyph of
// its band.
struct ArtOptions {
    ToneOptions tone;
    Dither dither = Dither::None;
    GlyphSet glyphs = GlyphSet::Shades;
    double sharpen = 0; // the unsharp mask's amount; 0 is off
};

// A CellRowDone report as a whole percentage, 0 to 100.
constexpr int PercentDone(std::int64_t value, std::int64_t maximum)
{
    return int((value + 1) * 100 / maximum);
}

// The art's lines for the picture: floor(height / 3) lines of
// floor(width / 2) glyphs. Every row of the source is read, so a corrupt
// one is always found. With threads > 1 and a source that can split, the two
// halves of the picture convert side by side. Empty when the observer
// cancelled; throws what the source throws.
std::optional<Page> ConvertRows(const RowSource& source, ConversionObserver* observer = nullptr,
                                       int threads = 1, const ArtOptions& art = {});

// ConvertRows for a picture held in memory, on the calling thread.
std::optional<Page> ConvertPicture(const Canvas& canvas, ConversionObserver* observer = nullptr,
                                          const ArtOptions& art = {});

} // namespace ezedudu
