#pragma once

#include "ezedudu/canvas.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ezedudu {

// One character cell covers this many picture pixels; its block reaches one
// pixel further each way, so neighbouring cells share a column and a row.
inline constexpr int ColumnStep = 2;
inline constexpr int RowStep = 3;

// The output byte (code page 437) for a grey level: full block, dark, medium
// and light shade, then space for the brightest band.
std::uint8_t GlyphRamp(std::uint8_t greyLevel);

// The last line of every NFO file, without its line end.
inline constexpr std::string_view ClosingLine =
    "                           -created with tavix's zor ezedudu-";

// What the caller of ConvertPicture hears while the grid is walked.
class ConversionObserver {
public:
    virtual ~ConversionObserver() = default;

    // After each row of cells: value is cols * row + col of the row's last cell,
    // maximum is cols * rows. Not called when the picture has no cells.
    virtual void CellRowDone(std::int64_t value, std::int64_t maximum) = 0;

    // Checked after each row of cells; true ends the walk without a result.
    virtual bool CancelRequested() { return false; }
};

// The complete NFO file for the picture: floor(height / 3) lines of
// floor(width / 2) glyph bytes, each ending in CR LF, an empty line, and the
// closing line with its CR LF. Empty when the observer cancelled.
std::optional<std::string> ConvertPicture(const Canvas& canvas, ConversionObserver* observer = nullptr);

} // namespace ezedudu
