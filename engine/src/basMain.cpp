#include "ezedudu/basMain.h"

#include <cmath>

namespace ezedudu {

namespace basMain {

void SplitColour(ColourTriple& triple, ColourValue colour)
{
    const auto bits = static_cast<std::uint32_t>(colour);
    triple.red = static_cast<std::uint8_t>(bits);
    triple.green = static_cast<std::uint8_t>(bits >> 8);
    triple.blue = static_cast<std::uint8_t>(bits >> 16);
}

ColourValue ToGreyColour(ColourValue colour)
{
    ColourTriple triple;
    SplitColour(triple, colour);
    const std::uint8_t grey = GreyLevel(triple.red, triple.green, triple.blue);
    return ComposeColour(grey, grey, grey);
}

ColourValue GetBlockColour(const Canvas& canvas, float x, float y, float w, float h)
{
    std::int64_t redSum = 0;
    std::int64_t greenSum = 0;
    std::int64_t blueSum = 0;
    const float lastRow = y + h;
    for (float j = y; j <= lastRow; j += 1) {
        const float lastColumn = x + w;
        for (float i = x; i <= lastColumn; i += 1) {
            ColourTriple triple;
            SplitColour(triple, canvas.Point(std::lrint(i), std::lrint(j)));
            redSum += triple.red;
            greenSum += triple.green;
            blueSum += triple.blue;
        }
    }
    const double divisor = (double(w) + 1) * (double(h) + 1);
    const auto average = [divisor](std::int64_t sum) {
        return static_cast<std::uint8_t>(static_cast<std::int32_t>(double(sum) / divisor));
    };
    return ComposeColour(average(redSum), average(greenSum), average(blueSum));
}

} // namespace basMain

} // namespace ezedudu
