#pragma once

#include "ezedudu/canvas.h"

#include <cstdint>
#include <vector>

namespace ezedudu {

// The top-left cropWidth x cropHeight pixels of the picture resampled to
// width x height by area: each new pixel is the average of the picture area
// it covers, partly covered pixels weighted by their share, rounded to the
// nearest. Exact integer arithmetic, so every platform gives the same
// pixels. Returns width x height canvas pixels (0xFFRRGGBB), row by row.
// Throws Error (UnreadablePicture) when pixels are asked of an empty crop.
std::vector<std::uint32_t> ResampleArea(const Canvas& picture, std::int64_t cropWidth, std::int64_t cropHeight,
                                        std::int64_t width, std::int64_t height);

} // namespace ezedudu
