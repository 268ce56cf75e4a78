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
// fitted to a width taken from its last byte, in turn with shades under the
// art controls (which hold the whole picture), 1 to 100 columns, and with
// half blocks (which sample it), 1 to 24 columns: the half blocks' second
// look weighs every cell against its neighbours whatever the input, and
// wider art of them would spend most of a run there.
inline std::vector<ConversionOptions> FuzzConversions(const std::uint8_t* data, std::size_t size)
{
    ConversionOptions natural;
    natural.maxPixels = FuzzPixelLimit();
    ConversionOptions fitted = natural;
    const int last = size > 0 ? data[size - 1] : 0;
    if (size % 2 == 0) {
        fitted.columns = 1 + last % 100;
        fitted.art = {{.levelsAuto = true, .gamma = 1.5}, Dither::FloydSteinberg};
    } else {
        fitted.columns = 1 + last % 24;
        fitted.art.glyphs = GlyphSet::Blocks;
    }
    return {natural, fitted};
}

} // namespace ezedudu
