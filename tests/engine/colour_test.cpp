#include "ezedudu/basMain.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ezedudu {
namespace {

struct SplitCase {
    ColourValue colour;
    std::uint8_t red, green, blue;
};

TEST(SplitColour, TakesTheLowThreeBytesAndTreatsOutsideAsWhite)
{
    const SplitCase cases[] = {
        {0x00123456, 0x56, 0x34, 0x12},
        {0, 0, 0, 0},
        {0x00FFFFFF, 255, 255, 255},
        {OutsidePicture, 255, 255, 255},
        {static_cast<ColourValue>(0x7F0000FF), 0xFF, 0, 0}, // a top byte is ignored
    };
    for (const SplitCase& c : cases) {
        ColourTriple triple;
        basMain::SplitColour(triple, c.colour);
        EXPECT_EQ(triple.red, c.red) << std::hex << c.colour;
        EXPECT_EQ(triple.green, c.green) << std::hex << c.colour;
        EXPECT_EQ(triple.blue, c.blue) << std::hex << c.colour;
    }
}

TEST(SplitColour, StoresTheFieldsInRedBlueGreenOrder)
{
    ColourTriple triple;
    basMain::SplitColour(triple, 0x00123456);
    unsigned char bytes[3];
    std::memcpy(bytes, &triple, sizeof bytes);
    EXPECT_EQ(bytes[0], 0x56);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[2], 0x34);
}

struct GreyCase {
    ColourValue colour;
    int grey;
};

TEST(ToGreyColour, WeighsChannelsInDoublePrecisionAndFloors)
{
    const GreyCase cases[] = {
        {ComposeColour(255, 255, 255), 255},
        {ComposeColour(0, 0, 0), 0},
        {ComposeColour(255, 0, 0), 76},
        {ComposeColour(0, 255, 0), 150},
        {ComposeColour(0, 0, 255), 28},
        {OutsidePicture, 255},
        // The double sums are 127.99999999999999 and 209.99999999999997.
        {ComposeColour(128, 128, 128), 127},
        {ComposeColour(210, 210, 210), 209},
        {ComposeColour(30, 30, 30), 30},
        {ComposeColour(90, 90, 90), 90},
        {ComposeColour(150, 150, 150), 150},
    };
    for (const GreyCase& c : cases) {
        const ColourValue grey = basMain::ToGreyColour(c.colour);
        EXPECT_EQ(grey, c.grey * 0x010101) << std::hex << "colour " << c.colour;
    }
}

} // namespace
} // namespace ezedudu
