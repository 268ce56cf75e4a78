#pragma once

#include <QIODevice>

#include <cstdint>
#include <optional>

namespace ezedudu {

// An image within an MNG (PNG, JNG or a basis object) as its decoder holds
// it: whole, at its own size, whatever size the MNG's frame says it shows.
struct MngImage {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bytesPerPixel = 0; // as held: 8-bit channels take 4, deeper ones 8
};

// The bytes the image takes as held, or the most an int64 holds.
std::int64_t HeldBytes(const MngImage& image);

// What an MNG asks its decoder to hold at once, reckoned from above: every
// image it keeps as an object (defined under a nonzero object id, or a
// clone, counted as a copy of the largest), the largest of those it draws
// and lets go, and the largest image magnified by the largest factors and
// margins any magnification names.
struct MngMemory {
    MngImage largest; // magnified, if any magnification is named
    std::int64_t heldBytes = 0;
};

// Walks the MNG's chunks from the device's start and puts the device back
// where it was; nothing where the device cannot seek or holds no image.
std::optional<MngMemory> MngHeldMemory(QIODevice& device);

} // namespace ezedudu
