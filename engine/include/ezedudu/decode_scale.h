#pragma once

#include "ezedudu/art_size.h"
#include "ezedudu/conversion_options.h"

#include <cstdint>

namespace ezedudu {

// Decoders that can shrink while they decode (JPEG's 1/2, 1/4 and 1/8)
// shrink by at most this much.
inline constexpr int MaxDecodeDivisor = 8;

// Half-block art samples each cell this many times each way: fitted art
// from the whole picture, art at the natural size from the cell's own 2 x 3
// pixels.
inline constexpr int FittedSamples = 4;
inline constexpr int NaturalSamples = 2;

struct PixelSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The pixels fitted art is resampled to before its cells are formed:
// (2N + 1) x (3R + 1) for shades, whose cells each read a block reaching one
// pixel past their 2 x 3; 4N x 4R for blocks, which sample each cell 4 x 4.
PixelSize FittedPixels(const ArtSize& art, GlyphSet glyphs);

// How much a decoder may shrink a width x height picture for a conversion
// with options: the largest of 1, 2, 4 and 8 that divides both sides (so the
// decoder alone gives exactly width / d x height / d pixels, with no
// smoothing after it) and still leaves FittedPixels each way, so that every
// cell keeps its samples. 1 for art at the natural size, which reads every
// pixel. The CLI and the studio both decode by it, so they write the same art.
int DecodeDivisor(std::int64_t width, std::int64_t height, const ConversionOptions& options);

} // namespace ezedudu
