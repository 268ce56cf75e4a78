#pragma once

#include "ezedudu/conversion_options.h"
#include "fuzz_pixel_limit.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ezedudu {

// Qt finds its image format plugins through the application object, made
// once before the first input.
inline void StartQt(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
}

// The conversions every input goes through: the natural size, and art
// fitted to a width of 1 to 100 columns taken from its last byte, in turn
// with shades under the art controls (which hold the whole picture) and
// with half blocks (which sample it).
inline std::vector<ConversionOptions> FuzzConversions(const std::uint8_t* data, std::size_t size)
{
    ConversionOptions natural;
    natural.maxPixels = FuzzPixelLimit();
    ConversionOptions fitted = natural;
    fitted.columns = 1 + (size > 0 ? data[size - 1] : 0) % 100;
    if (size % 2 == 0)
        fitted.art = {{.levelsAuto = true, .gamma = 1.5}, Dither::FloydSteinberg};
    else
        fitted.art.glyphs = GlyphSet::Blocks;
    return {natural, fitted};
}

} // namespace ezedudu
