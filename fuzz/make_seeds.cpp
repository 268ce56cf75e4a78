// Writes the seed corpora into FOLDER: one small file for every bitmap
// variant the tests' writer makes, and for every format Qt decodes, whole
// and cut in half.
#include "bmp_writer.h"
#include "memory_picture.h"
#include "qt_formats.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <filesystem>
#include <iostream>
#include <string>
#include <utility>

using namespace ezedudu;

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: make_seeds FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    BitmapPicture picture{7, 5, {}};
    for (int i = 0; i < 35; ++i)
        picture.pixels.push_back(Grey(std::uint8_t(i % 4 * 80)) ^ std::uint32_t(i % 3 * 0x300000));
    const BmpEncoding encodings[] = {BmpEncoding::Paletted1, BmpEncoding::Paletted4, BmpEncoding::Paletted8,
                                     BmpEncoding::Rle4,      BmpEncoding::Rle8,      BmpEncoding::Rgb555,
                                     BmpEncoding::Rgb565,    BmpEncoding::Rgb24,     BmpEncoding::Rgb32,
                                     BmpEncoding::Bitfields32};
    const BmpHeader headers[] = {BmpHeader::Os2Core, BmpHeader::Os2Short, BmpHeader::Os2, BmpHeader::Info,
                                 BmpHeader::V2,      BmpHeader::V3,       BmpHeader::V4,  BmpHeader::V5};
    int written = 0;
    for (const BmpEncoding encoding : encodings)
        for (const BmpHeader header : headers)
            for (const bool topDown : {false, true}) {
                BitmapPicture used = picture;
                if (encoding == BmpEncoding::Paletted1)
                    for (auto& pixel : used.pixels)
                        pixel = pixel & 0x80 ? Grey(255) : Grey(0);
                try {
                    WriteBytes((folder / ("seed-" + std::to_string(written) + ".bmp")).string(),
                               EncodeBmp(used, {encoding, header, topDown}));
                    ++written;
                } catch (const std::exception&) {
                    // A combination the writer does not make.
                }
            }
    QImage colours(12, 9, QImage::Format_ARGB32);
    for (int y = 0; y < colours.height(); ++y)
        for (int x = 0; x < colours.width(); ++x)
            colours.setPixel(x, y, qRgba(x * 20, y * 28, (x * y * 7) % 256, 255 - x * 10));
    const QImage opaque = colours.convertToFormat(QImage::Format_RGB32);
    QByteArray progressive;
    QBuffer buffer(&progressive);
    QImageWriter progressiveWriter(&buffer, "jpeg");
    progressiveWriter.setProgressiveScanWrite(true);
    progressiveWriter.write(opaque);
    const std::pair<const char*, std::string> pictures[] = {
        {"alpha.png", EncodeWithQt(colours, "png")},
        {"16-bit.png", EncodeWithQt(colours.convertToFormat(QImage::Format_RGBA64), "png")},
        {"paletted.png", EncodeWithQt(opaque.convertToFormat(QImage::Format_Indexed8), "png")},
        {"baseline.jpg", EncodeWithQt(opaque, "jpeg")},
        {"progressive.jpg", progressive.toStdString()},
        {"grey.gif", EncodeGif(opaque)},
        {"one-image.mng", EncodeMng(colours)},
        {"rgb.tiff", EncodeWithQt(colours, "tiff")},
        {"lossy.webp", EncodeWithQt(colours, "webp")},
        {"mono.xbm", EncodeWithQt(opaque, "xbm")},
        {"text.xpm", EncodeWithQt(opaque, "xpm")},
        {"rgb.ppm", EncodeWithQt(opaque, "ppm")},
        {"icon.ico", EncodeWithQt(colours, "ico")},
    };
    for (const auto& [name, bytes] : pictures) {
        WriteBytes((folder / name).string(), bytes);
        WriteBytes((folder / ("cut-" + std::string(name))).string(), bytes.substr(0, bytes.size() / 2));
        written += 2;
    }
    std::cout << "wrote " << written << " seeds to " << folder.string() << "\n";
    return 0;
}
