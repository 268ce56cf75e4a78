#pragma once

#include <cstdint>

namespace ezedudu {

enum class Dither {
    None,           // each cell takes the glyph of its band
    FloydSteinberg, // each cell's error spreads to the cells right and below
    Ordered,        // each cell's level is offset by a 4 x 4 Bayer matrix
};

} // namespace ezedudu
