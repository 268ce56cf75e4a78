#include "qt_formats.h"

#include <QBuffer>

#include <cstdint>
#include <stdexcept>

namespace ezedudu {
namespace {

void AddLittle16(std::string& bytes, int value)
{
    bytes += char(value & 0xFF);
    bytes += char(value >> 8 & 0xFF);
}

void AddBig32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += char(value >> shift & 0xFF);
}

std::uint32_t Crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? crc >> 1 ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

// 9-bit codes, least significant bit first, as GIF packs them.
class CodeWriter {
public:
    void Add(int code)
    {
        pending |= std::uint32_t(code) << pendingBits;
        for (pendingBits += 9; pendingBits >= 8; pendingBits -= 8, pending >>= 8)
            bytes += char(pending & 0xFF);
    }
    std::string Finish()
    {
        if (pendingBits > 0)
            bytes += char(pending & 0xFF);
        return bytes;
    }

private:
    std::string bytes;
    std::uint32_t pending = 0;
    int pendingBits = 0;
};

} // namespace

std::string EncodeWithQt(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format))
        throw std::runtime_error(std::string("Qt cannot write ") + format);
    return bytes.toStdString();
}

std::string EncodeGif(const QImage& picture)
{
    std::string gif = "GIF89a";
    AddLittle16(gif, picture.width());
    AddLittle16(gif, picture.height());
    gif += std::string("\xF7\x00\x00", 3); // a global table of 256 colours; background 0; no aspect
    for (int grey = 0; grey < 256; ++grey)
        gif += std::string(3, char(grey));
    gif += ',';
    AddLittle16(gif, 0);
    AddLittle16(gif, 0);
    AddLittle16(gif, picture.width());
    AddLittle16(gif, picture.height());
    gif += '\0';
    // Each pixel its own code; clearing the table before it holds 512
    // entries keeps every code 9 bits wide.
    constexpr int Clear = 256, End = 257, CodesPerClear = 250;
    CodeWriter codes;
    for (int i = 0; i < picture.width() * picture.height(); ++i) {
        if (i % CodesPerClear == 0)
            codes.Add(Clear);
        codes.Add(qGreen(picture.pixel(i % picture.width(), i / picture.width())));
    }
    codes.Add(End);
    const std::string data = codes.Finish();
    gif += '\x08'; // the smallest code size: 8 bits
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string block = data.substr(at, 255);
        gif += char(block.size());
        gif += block;
    }
    gif += '\0';
    gif += ';';
    return gif;
}

std::string EncodeMng(const QImage& picture, QSize frame)
{
    if (frame.isEmpty())
        frame = picture.size();
    std::string header;
    for (const std::uint32_t field : {std::uint32_t(frame.width()), std::uint32_t(frame.height()), 1u, 1u, 1u, 1u,
                                      1u}) // ticks a second, layers, frames, play time, simple profile
        AddBig32(header, field);
    std::string chunk = "MHDR" + header;
    std::string mng = "\x8AMNG\r\n\x1A\n";
    AddBig32(mng, std::uint32_t(header.size()));
    mng += chunk;
    AddBig32(mng, Crc32(chunk));
    // The PNG's chunks without its signature, its IEND ending the image.
    mng += EncodeWithQt(picture, "png").substr(8);
    AddBig32(mng, 0);
    mng += "MEND";
    AddBig32(mng, Crc32("MEND"));
    return mng;
}

} // namespace ezedudu
