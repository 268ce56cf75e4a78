#include "data_ends_early.h"

namespace ezedudu {
namespace {

// Walks the blocks of a GIF up to the end of its first image: the image's
// data is whole once its sub-blocks end with an empty one.
bool GifEndsEarly(QIODevice& in)
{
    const auto byte = [&](int& value) {
        char c = 0;
        if (!in.getChar(&c))
            return false;
        value = static_cast<unsigned char>(c);
        return true;
    };
    const auto skip = [&](qint64 count) { return in.skip(count) == count; };
    const auto skipSubBlocks = [&] {
        int length = 0;
        do {
            if (!byte(length) || !skip(length))
                return false;
        } while (length != 0);
        return true;
    };
    const auto skipColourTable = [&](int flags) { return (flags & 0x80) == 0 || skip(qint64(3) << ((flags & 7) + 1)); };
    constexpr int Extension = 0x21, Image = 0x2C;
    int flags = 0;
    // The signature and the screen's size, its flags, background and aspect.
    if (!skip(10) || !byte(flags) || !skip(2) || !skipColourTable(flags))
        return true;
    for (int introducer = 0; byte(introducer);) {
        if (introducer == Extension) {
            if (!skip(1) || !skipSubBlocks())
                return true;
        } else if (introducer == Image) {
            // Its place and size, flags, colour table and code size.
            return !skip(8) || !byte(flags) || !skipColourTable(flags) || !skip(1) || !skipSubBlocks();
        } else {
            return false; // the trailer, or bytes the decoder judges for itself
        }
    }
    return true;
}

// An XBM's pixels are a C array: whole when its closing brace is there.
bool XbmEndsEarly(QIODevice& in)
{
    bool opened = false;
    char block[64 * 1024];
    for (qint64 count = 0; (count = in.read(block, sizeof block)) > 0;)
        for (qint64 i = 0; i < count; ++i) {
            if (block[i] == '{')
                opened = true;
            else if (block[i] == '}' && opened)
                return false;
        }
    return true;
}

} // namespace

bool DataEndsEarly(QIODevice& device, const QByteArray& format)
{
    if (format != "gif" && format != "xbm")
        return false;
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly))
        return false; // nothing to judge by; the decoder has had its say
    if (!device.seek(0))
        return false;
    return format == "gif" ? GifEndsEarly(device) : XbmEndsEarly(device);
}

} // namespace ezedudu
