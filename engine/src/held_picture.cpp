#include "ezedudu/held_picture.h"

#include "ezedudu/error.h"

#include <algorithm>
#include <new>
#include <string>

namespace ezedudu {
namespace {

std::vector<std::uint32_t> PixelsFor(std::int64_t width, std::int64_t height)
{
    try {
        return std::vector<std::uint32_t>(static_cast<std::size_t>(width * height));
    } catch (const std::bad_alloc&) {
        throw Error(Error::Kind::PictureTooLarge, "not enough memory to hold a picture of " + std::to_string(width) +
                                                      " x " + std::to_string(height) + " pixels");
    }
}

class CopyRows : public RowSink {
public:
    explicit CopyRows(HeldPicture& target) : picture(target) {}

    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override
    {
        std::copy_n(pixels, picture.View().Width(), picture.Row(y));
        return true;
    }

private:
    HeldPicture& picture;
};

} // namespace

HeldPicture::HeldPicture(std::int64_t width, std::int64_t height)
    : pixels(PixelsFor(width, height)),
      canvas(pixels.data(), width, height, std::ptrdiff_t(width * sizeof(std::uint32_t)))
{
}

HeldPicture GatherRows(const RowSource& picture)
{
    if (const Canvas* held = picture.Held())
        return HeldPicture(*held);
    HeldPicture gathered(picture.Width(), picture.Height());
    CopyRows sink(gathered);
    picture.ReadRows(0, picture.Height(), sink);
    return gathered;
}

} // namespace ezedudu
