// Writes the seed corpora: one small file for every bitmap variant the tests'
// writer makes, and a PNG, into FOLDER.
#include "bmp_writer.h"
#include "memory_picture.h"

#include <QImage>

#include <filesystem>
#include <iostream>

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
    QImage png(6, 6, QImage::Format_ARGB32);
    png.fill(qRgba(40, 80, 120, 128));
    png.save(QString::fromStdString((folder / "seed.png").string()));
    std::cout << "wrote " << written + 1 << " seeds to " << folder.string() << "\n";
    return 0;
}
