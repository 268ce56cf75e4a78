#pragma once

#include <QIODevice>

#include <cstdint>
#include <optional>

namespace ezedudu {

// The largest image an MNG asks its decoder to hold: each image within it
// (PNG, JNG or a basis object) is held whole at its own size, and may then
// be magnified, whatever size the MNG's frame says it shows.
struct MngImage {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bytesPerPixel = 0; // as held: 8-bit channels take 4, deeper ones 8
};

// The bytes the image takes as held, or the most an int64 holds.
std::int64_t HeldBytes(const MngImage& image);

// Walks the MNG's chunks from the device's start and puts the device back
// where it was; nothing where the device cannot seek or holds no image.
// Magnifications count as though each applied to the largest image.
std::optional<MngImage> LargestMngImage(QIODevice& device);

} // namespace ezedudu
