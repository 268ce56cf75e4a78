#pragma once

#include <QImage>

#include <string>

namespace ezedudu {

// Pictures in the formats Qt decodes, made in memory so that tests and
// fuzzing seeds need no binary files.

// The picture in a format Qt writes ("png", "jpeg", "tiff", "webp", "xbm", ...).
std::string EncodeWithQt(const QImage& picture, const char* format);

// The picture as a GIF of 256 greys (its pixels' green channel), its codes
// stored uncompressed: Qt reads GIF but does not write it.
std::string EncodeGif(const QImage& picture);

// The picture as an MNG holding one PNG image, shown in a frame of its own
// size unless told: Qt reads MNG but does not write it.
std::string EncodeMng(const QImage& picture, QSize frame = {});

} // namespace ezedudu
