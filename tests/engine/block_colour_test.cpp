#include "ezedudu/basMain.h"

#include "memory_picture.h"

#include <gtest/gtest.h>

namespace ezedudu {
namespace {

ColourTriple BlockAt(const MemoryPicture& picture, float x, float y)
{
    ColourTriple triple;
    basMain::SplitColour(triple, basMain::GetBlockColour(picture.View(), x, y, 2, 3));
    return triple;
}

TEST(GetBlockColour, ReadsThreeColumnsOfFourRowsInclusive)
{
    // Red marks the pixels inside the block, green the ones just outside it.
    MemoryPicture picture(5, 6, Rgb(0, 255, 0));
    for (int y = 0; y <= 3; ++y)
        for (int x = 0; x <= 2; ++x)
            picture.Set(x, y, Rgb(240, 0, 0));
    const ColourTriple block = BlockAt(picture, 0, 0);
    EXPECT_EQ(block.red, 240);
    EXPECT_EQ(block.green, 0);
    EXPECT_EQ(block.blue, 0);
}

TEST(GetBlockColour, DividesByTwelveAndTruncates)
{
    // The block's first pixel has the odd grey, the next whiteCount are white,
    // the rest black.
    const struct {
        std::uint8_t oddGrey;
        int whiteCount;
        int expected;
    } cases[] = {
        {255, 0, 21},   // 255 / 12 = 21.25
        {254, 11, 254}, // 11 * 255 + 254 = 3059
        {255, 11, 255}, // 3060
    };
    for (const auto& c : cases) {
        MemoryPicture picture(3, 4, Grey(0));
        for (int i = 1; i <= c.whiteCount; ++i)
            picture.Set(i % 3, i / 3, Grey(255));
        picture.Set(0, 0, Grey(c.oddGrey));
        EXPECT_EQ(BlockAt(picture, 0, 0).green, c.expected) << "white pixels " << c.whiteCount;
    }
}

TEST(GetBlockColour, CountsPositionsOutsideThePictureAsWhite)
{
    // Column 4 of a 4-pixel-wide picture is outside: 4 white positions of 12.
    const MemoryPicture picture(4, 4, Grey(0));
    EXPECT_EQ(BlockAt(picture, 2, 0).red, 85);
}

TEST(GetBlockColour, HasNoPositionLimit)
{
    MemoryPicture picture(3000, 2000, Grey(0));
    picture.Set(2000, 1500, Grey(255));
    EXPECT_EQ(BlockAt(picture, 1999, 1499).blue, 21);
}

} // namespace
} // namespace ezedudu
