#pragma once

#include "ezedudu/colour.h"
#include "ezedudu/row_source.h"

#include <cstddef>
#include <cstdint>

namespace ezedudu {

// A read-only view onto decoded picture rows; it never owns or copies them.
// Each pixel is a native-endian 32-bit word 0xAARRGGBB (Qt's RGB32 layout);
// the top byte is ignored.
class Canvas {
public:
    Canvas() = default;
    Canvas(const std::uint32_t* rows, std::int64_t pixelWidth, std::int64_t pixelHeight,
           std::ptrdiff_t rowStrideBytes);

    std::int64_t Width() const { return width; }
    std::int64_t Height() const { return height; }

    // The pixels of row y, left to right; 0 <= y < Height().
    const std::uint32_t* Row(std::int64_t y) const
    {
        return reinterpret_cast<const std::uint32_t*>(
            reinterpret_cast<const std::byte*>(firstRow) + y * strideBytes);
    }

    // The colour at column x, row y, or OutsidePicture for any position
    // outside the picture (negative ones included). The per-pixel access of
    // the plain reference (basMain::GetBlockColour); the converter reads Row.
    ColourValue Point(std::int64_t x, std::int64_t y) const;

private:
    const std::uint32_t* firstRow = nullptr;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::ptrdiff_t strideBytes = 0;
};

// A picture held in memory, handed out row by row, top row first.
class CanvasRows : public RowSource {
public:
    explicit CanvasRows(const Canvas& picture) : canvas(picture) {}

    std::int64_t Width() const override { return canvas.Width(); }
    std::int64_t Height() const override { return canvas.Height(); }
    bool CanSplit() const override { return true; }
    const Canvas* Held() const override { return &canvas; }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override;

private:
    Canvas canvas;
};

// Picture word 0x??RRGGBB to ColourValue 0x00BBGGRR.
constexpr ColourValue ColourFromPixel(std::uint32_t pixel)
{
    return ComposeColour(static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                         static_cast<std::uint8_t>(pixel));
}

} // namespace ezedudu
