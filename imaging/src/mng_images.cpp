#include "mng_images.h"

#include <QByteArray>

#include <algorithm>
#include <limits>

namespace ezedudu {
namespace {

std::int64_t Big(const QByteArray& bytes, int at, int count)
{
    std::int64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::int64_t SaturatingProduct(std::int64_t a, std::int64_t b)
{
    constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
    return b != 0 && a > most / b ? most : a * b;
}

// Walks the chunks after the signature: each is its length, its name, its
// data and a checksum.
std::optional<MngImage> Walk(QIODevice& in)
{
    constexpr int SignatureBytes = 8, ChecksumBytes = 4;
    if (in.skip(SignatureBytes) != SignatureBytes)
        return std::nullopt;
    std::optional<MngImage> largest;
    std::int64_t magnifiedWidth = 1, magnifiedHeight = 1;
    for (;;) {
        const QByteArray head = in.read(8);
        if (head.size() < 8)
            break;
        const std::int64_t length = Big(head, 0, 4);
        const QByteArray name = head.mid(4);
        // The fields read here are in a chunk's first 11 bytes.
        const QByteArray data = in.read(std::min<std::int64_t>(length, 11));
        if (in.skip(length - data.size() + ChecksumBytes) != length - data.size() + ChecksumBytes)
            break;
        if ((name == "IHDR" || name == "BASI" || name == "JHDR") && data.size() >= 10) {
            // A PNG's or a basis object's bit depth, or a JNG's sample depth.
            const int depth = static_cast<unsigned char>(data[name == "JHDR" ? 9 : 8]);
            // An image without rows still has its decoder make room for a row.
            const MngImage image{std::max<std::int64_t>(Big(data, 0, 4), 1), std::max<std::int64_t>(Big(data, 4, 4), 1),
                                 depth > 8 ? 8 : 4};
            if (!largest || HeldBytes(image) > HeldBytes(*largest))
                largest = image;
        } else if (name == "MAGN" && data.size() >= 7 && data[4] != 0) {
            // Its objects, its method and its factors; Y's is X's when left out.
            const std::int64_t x = Big(data, 5, 2);
            const std::int64_t y = data.size() >= 9 ? Big(data, 7, 2) : x;
            magnifiedWidth = std::max(magnifiedWidth, x);
            magnifiedHeight = std::max(magnifiedHeight, y);
        } else if (name == "MEND") {
            break;
        }
    }
    if (largest) {
        largest->width = SaturatingProduct(largest->width, magnifiedWidth);
        largest->height = SaturatingProduct(largest->height, magnifiedHeight);
    }
    return largest;
}

} // namespace

std::int64_t HeldBytes(const MngImage& image)
{
    return SaturatingProduct(SaturatingProduct(image.width, image.height), image.bytesPerPixel);
}

std::optional<MngImage> LargestMngImage(QIODevice& device)
{
    if (device.isSequential() || (!device.isOpen() && !device.open(QIODevice::ReadOnly)))
        return std::nullopt;
    const qint64 was = device.pos();
    if (!device.seek(0))
        return std::nullopt;
    const std::optional<MngImage> largest = Walk(device);
    device.seek(was);
    return largest;
}

} // namespace ezedudu
