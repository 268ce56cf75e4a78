#pragma once

#include "ezedudu/canvas.h"

#include <cstdint>
#include <vector>

namespace ezedudu {

// A picture held in memory for engine tests, in the canvas's pixel layout.
class MemoryPicture {
public:
    MemoryPicture(std::int64_t width, std::int64_t height, std::uint32_t fill = 0xFF000000);

    void Set(std::int64_t x, std::int64_t y, std::uint32_t pixel) { pixels[y * width + x] = pixel; }
    // Fills every pixel with a reproducible pseudo-random colour.
    void Scramble(std::uint32_t seed);
    Canvas View() const;

private:
    std::int64_t width;
    std::int64_t height;
    std::vector<std::uint32_t> pixels;
};

// A pixel word (0xAARRGGBB) with the given channels.
constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return 0xFF000000u | (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | blue;
}

constexpr std::uint32_t Grey(std::uint8_t level)
{
    return Rgb(level, level, level);
}

} // namespace ezedudu
