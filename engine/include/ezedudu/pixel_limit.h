#pragma once

#include <cstdint>

namespace ezedudu {

// Throws Error (PictureTooLarge) for a picture of more than maxPixels pixels,
// before any of it is decoded or held.
void CheckPixelLimit(std::int64_t width, std::int64_t height, std::int64_t maxPixels);

// Throws Error (UnreadablePicture) for a picture without pixels. A decoder
// may hand one out as if it had succeeded; nothing can be measured or
// averaged by its size, so every size computation checks for it first.
void CheckHasPixels(std::int64_t width, std::int64_t height);

} // namespace ezedudu
