#pragma once

#include <cstddef>
#include <cstdint>

namespace ezedudu {

// A colour as 0x00BBGGRR: red in bits 0-7, green in 8-15, blue in 16-23.
// The canvas answers -1 for a position outside its picture.
using ColourValue = std::int32_t;

inline constexpr ColourValue OutsidePicture = -1;

// Three channel bytes, declared red, blue, green: that order is part of the
// record's layout, not a slip.
struct ColourTriple {
    std::uint8_t red = 0;
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
};

static_assert(sizeof(ColourTriple) == 3);
static_assert(offsetof(ColourTriple, red) == 0);
static_assert(offsetof(ColourTriple, blue) == 1);
static_assert(offsetof(ColourTriple, green) == 2);

constexpr ColourValue ComposeColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return red + 256 * green + 65536 * blue;
}

} // namespace ezedudu
