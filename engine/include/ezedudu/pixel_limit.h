#pragma once

#include <cstdint>

namespace ezedudu {

// Throws Error (PictureTooLarge) for a picture of more than maxPixels pixels,
// before any of it is decoded or held.
void CheckPixelLimit(std::int64_t width, std::int64_t height, std::int64_t maxPixels);

} // namespace ezedudu
