#pragma once

#include "ezedudu/canvas.h"

#include <QImage>

#include <cstdint>
#include <filesystem>

namespace ezedudu {

// 400 million pixels (1.6 GB decoded) by default: a 16384 x 16384 picture
// loads, a header claiming absurd dimensions is refused before anything is
// allocated.
inline constexpr std::int64_t DefaultMaxPixels = 400'000'000;

// Decodes the picture file at path into 32-bit RGB rows (QImage::Format_RGB32).
// A bitmap's alpha or fourth byte is ignored; transparent pixels of other
// formats are laid over white. Rows a truncated bitmap lacks read as white (or
// palette entry 0), never as leftover memory.
// Throws ezedudu::Error: MissingFile, UnreadablePicture or PictureTooLarge.
QImage LoadPicture(const std::filesystem::path& path, std::int64_t maxPixels = DefaultMaxPixels);

// The engine's view onto a picture returned by LoadPicture; valid while the
// image lives and is not modified.
Canvas CanvasOf(const QImage& picture);

} // namespace ezedudu
