#include "memory_picture.h"

#include <random>

namespace ezedudu {

MemoryPicture::MemoryPicture(std::int64_t pictureWidth, std::int64_t pictureHeight, std::uint32_t fill)
    : width(pictureWidth), height(pictureHeight), pixels(static_cast<std::size_t>(pictureWidth * pictureHeight), fill)
{
}

void MemoryPicture::Scramble(std::uint32_t seed)
{
    std::mt19937 random(seed);
    for (auto& pixel : pixels)
        pixel = static_cast<std::uint32_t>(random());
}

Canvas MemoryPicture::View() const
{
    return Canvas(pixels.data(), width, height, static_cast<std::ptrdiff_t>(width * sizeof(std::uint32_t)));
}

} // namespace ezedudu
