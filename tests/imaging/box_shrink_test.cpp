#include "box_shrink.h"

#include "ezedudu/picture_loader.h"

#include "bottom_up_rows.h"
#include "memory_picture.h"

#include <gtest/gtest.h>

namespace ezedudu {
namespace {

TEST(ShrinkByBlocks, AveragesEachBlockIncludingThePartialOnesAtTheEdges)
{
    // 5 x 3 shrunk by 2: blocks of 2 x 2, 1 x 2 at the right, 2 x 1 and
    // 1 x 1 along the bottom.
    MemoryPicture picture(5, 3, Grey(0));
    for (int x = 0; x < 5; ++x) {
        picture.Set(x, 0, Rgb(std::uint8_t(40 * x), 0, 0));
        picture.Set(x, 2, Rgb(0, 0, 200));
    }
    picture.Set(4, 1, Rgb(100, 100, 100));
    const QImage shrunk = ShrinkByBlocks(BottomUpRows(picture.View()), 2).value();
    ASSERT_EQ(shrunk.size(), QSize(3, 2));
    const struct {
        int x, y;
        QRgb want;
    } cases[] = {
        {0, 0, qRgb(10, 0, 0)},   // reds 0 and 40 over four pixels
        {1, 0, qRgb(50, 0, 0)},   // 80 and 120
        {2, 0, qRgb(130, 50, 50)}, // (160 + 100) / 2, green and blue 100 / 2
        {0, 1, qRgb(0, 0, 200)},
        {2, 1, qRgb(0, 0, 200)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shrunk.pixel(c.x, c.y), c.want) << c.x << ", " << c.y;
}

} // namespace
} // namespace ezedudu
