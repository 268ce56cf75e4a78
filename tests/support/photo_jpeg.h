#pragma once

#include <QBuffer>
#include <QImage>

#include <random>
#include <string>

namespace ezedudu {

// A JPEG of gradients and reproducible noise, like a photo's fine detail, so
// that art made from it changes with the scale it is decoded at. Turned, it holds a
// height x width picture with an EXIF orientation (6) that turns it a
// quarter to width x height when shown.
inline std::string PhotoJpeg(int width, int height, bool turned = false)
{
    QImage picture(turned ? height : width, turned ? width : height, QImage::Format_RGB32);
    std::mt19937 noise(7);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 255 / picture.width(), int(noise() % 256), y * 255 / picture.height()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", 90);
    if (turned) {
        // APP1: "Exif", a big-endian TIFF header and one entry, orientation 6.
        const char exif[] = "\xFF\xE1\x00\x22"
                            "Exif\0\0"
                            "MM\x00\x2A\x00\x00\x00\x08"
                            "\x00\x01"
                            "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00"
                            "\x00\x00\x00\x00";
        bytes.insert(2, QByteArray(exif, sizeof exif - 1)); // after the start-of-image marker
    }
    return bytes.toStdString();
}

} // namespace ezedudu
