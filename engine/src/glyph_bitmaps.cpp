#include "ezedudu/glyph_bitmaps.h"

#include "vga_glyph_bitmaps.h"

namespace ezedudu {

const GlyphBitmap& GlyphBitmapOf(std::uint8_t cp437)
{
    return VgaGlyphBitmaps[cp437];
}

} // namespace ezedudu
