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

std::int64_t SaturatingSum(std::int64_t a, std::int64_t b)
{
    return a > std::numeric_limits<std::int64_t>::max() - b ? std::numeric_limits<std::int64_t>::max() : a + b;
}

// A magnification's factors and margins, each the largest any names: an
// image w wide becomes at most left + right + w x across.
struct Magnification {
    std::int64_t across = 1, down = 1, left = 0, right = 0, top = 0, bottom = 0;
    bool named = false;

    // A MAGN chunk: its first and last object, the method across, the
    // factors across and down, the margins left, right, top and bottom, and
    // the method down; each left out takes the one before it (down takes
    // across, right left, bottom top, the method down the one across).
    void Add(const QByteArray& data)
    {
        const auto field = [&](int at, std::int64_t otherwise) { return data.size() >= at + 2 ? Big(data, at, 2) : otherwise; };
        const int methodAcross = data.size() >= 5 ? static_cast<unsigned char>(data[4]) : 0;
        const int methodDown = data.size() >= 18 ? static_cast<unsigned char>(data[17]) : methodAcross;
        if (methodAcross == 0 && methodDown == 0)
            return;
        const std::int64_t x = field(5, 1), y = field(7, x), l = field(9, x), r = field(11, l), t = field(13, y),
                           b = field(15, t);
        across = std::max(across, x), down = std::max(down, y);
        left = std::max(left, l), right = std::max(right, r), top = std::max(top, t), bottom = std::max(bottom, b);
        named = true;
    }

    MngImage Of(MngImage image) const
    {
        image.width = SaturatingSum(left + right, SaturatingProduct(image.width, across));
        image.height = SaturatingSum(top + bottom, SaturatingProduct(image.height, down));
        return image;
    }
};

// Walks the chunks after the signature: each is its length, its name, its
// data and a checksum.
std::optional<MngMemory> Walk(QIODevice& in)
{
    constexpr int SignatureBytes = 8, ChecksumBytes = 4;
    // The fields read here lie in a chunk's first 18 bytes.
    constexpr std::int64_t FieldBytes = 18;
    if (in.skip(SignatureBytes) != SignatureBytes)
        return std::nullopt;
    std::optional<MngImage> largest;
    std::int64_t kept = 0, drawn = 0, clones = 0;
    bool keeping = false; // the next image becomes an object of a nonzero id
    Magnification magnification;
    for (;;) {
        const QByteArray head = in.read(8);
        if (head.size() < 8)
            break;
        const std::int64_t length = Big(head, 0, 4);
        const QByteArray name = head.mid(4);
        const QByteArray data = in.read(std::min(length, FieldBytes));
        if (in.skip(length - data.size() + ChecksumBytes) != length - data.size() + ChecksumBytes)
            break;
        if ((name == "IHDR" || name == "BASI" || name == "JHDR") && data.size() >= 10) {
            // A PNG's or a basis object's bit depth, or a JNG's sample depth
            // (and its alpha's, when it has one).
            int depth = static_cast<unsigned char>(data[name == "JHDR" ? 9 : 8]);
            if (name == "JHDR" && data.size() >= 13)
                depth = std::max(depth, int(static_cast<unsigned char>(data[12])));
            // An image without rows still has its decoder make room for a row.
            const MngImage image{std::max<std::int64_t>(Big(data, 0, 4), 1), std::max<std::int64_t>(Big(data, 4, 4), 1),
                                 depth > 8 ? 8 : 4};
            if (!largest || HeldBytes(image) > HeldBytes(*largest))
                largest = image;
            if (keeping)
                kept = SaturatingSum(kept, HeldBytes(image));
            else
                drawn = std::max(drawn, HeldBytes(image));
        } else if (name == "DEFI" && data.size() >= 2) {
            keeping = Big(data, 0, 2) != 0;
        } else if (name == "CLON") {
            ++clones;
        } else if (name == "MAGN") {
            magnification.Add(data);
        } else if (name == "MEND") {
            break;
        }
    }
    if (!largest)
        return std::nullopt;
    MngMemory memory{magnification.named ? magnification.Of(*largest) : *largest, 0};
    memory.heldBytes = SaturatingSum(SaturatingSum(kept, drawn), SaturatingProduct(clones, HeldBytes(*largest)));
    if (magnification.named)
        memory.heldBytes = SaturatingSum(memory.heldBytes, HeldBytes(memory.largest));
    return memory;
}

} // namespace

std::int64_t HeldBytes(const MngImage& image)
{
    return SaturatingProduct(SaturatingProduct(image.width, image.height), image.bytesPerPixel);
}

std::optional<MngMemory> MngHeldMemory(QIODevice& device)
{
    if (device.isSequential() || (!device.isOpen() && !device.open(QIODevice::ReadOnly)))
        return std::nullopt;
    const qint64 was = device.pos();
    if (!device.seek(0))
        return std::nullopt;
    const std::optional<MngMemory> memory = Walk(device);
    device.seek(was);
    return memory;
}

} // namespace ezedudu
