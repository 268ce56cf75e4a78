#include "ezedudu/decode_scale.h"

namespace ezedudu {

PixelSize FittedPixels(const ArtSize& art, GlyphSet glyphs)
{
    if (glyphs != GlyphSet::Shades)
        return {FittedSamples * art.columns, FittedSamples * art.rows};
    return {ColumnStep * art.columns + 1, RowStep * art.rows + 1};
}

int DecodeDivisor(std::int64_t width, std::int64_t height, const ConversionOptions& options)
{
    if (!options.Resamples())
        return 1;
    const PixelSize needed =
        FittedPixels(FitArt(width, height, options.columns, options.rows, options.cellAspect), options.art.glyphs);
    int divisor = 1;
    for (int next = 2; next <= MaxDecodeDivisor; next *= 2) {
        if (width % next != 0 || height % next != 0 || width / next < needed.width || height / next < needed.height)
            break;
        divisor = next;
    }
    return divisor;
}

} // namespace ezedudu
