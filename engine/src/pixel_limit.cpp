#include "ezedudu/pixel_limit.h"

#include "ezedudu/error.h"

#include <string>

namespace ezedudu {

void CheckPixelLimit(std::int64_t width, std::int64_t height, std::int64_t maxPixels)
{
    if (width * height > maxPixels)
        throw Error(Error::Kind::PictureTooLarge, "the picture has " + std::to_string(width) + " x " +
                                                      std::to_string(height) + " pixels, over the limit of " +
                                                      std::to_string(maxPixels) + " pixels");
}

void CheckHasPixels(std::int64_t width, std::int64_t height)
{
    if (width <= 0 || height <= 0)
        throw Error(Error::Kind::UnreadablePicture, "corrupt picture: it has no pixels (" + std::to_string(width) +
                                                        " x " + std::to_string(height) + ")");
}

} // namespace ezedudu
