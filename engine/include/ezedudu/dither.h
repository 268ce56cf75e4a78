#pragma once

#include <cstdint>

namespace ezedudu {

enum class Dither {
    None,           // each cell takes the glyph of its band
    FloydSteinberg, // each cell's error spreads to the cells right and below
    Ordered,        // each cell's level is offset by a 4 x 4 Bayer matrix
};

// Turns the grey levels of the art lines of an NFO frame (rows lines of cols
// bytes, each followed by CR LF) into glyphs in place. Dithering quantises a
// level to the nearest glyph level (0, 60, 120, 180, 240; ties to the
// lighter) so that large areas keep their mean level.
void DrawGlyphs(char* text, std::int64_t cols, std::int64_t rows, Dither dither);

} // namespace ezedudu
