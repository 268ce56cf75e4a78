#include "ezedudu/box_shrink.h"

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
    const HeldPicture shrunk = ShrinkByBlocks(BottomUpRows(picture.View()), 2).value();
    const Canvas& view = shrunk.View();
    ASSERT_EQ(view.Width(), 3);
    ASSERT_EQ(view.Height(), 2);
    const struct {
        int x, y;
        std::uint32_t want;
    } cases[] = {
        {0, 0, Rgb(10, 0, 0)},   // reds 0 and 40 over four pixels
        {1, 0, Rgb(50, 0, 0)},   // 80 and 120
        {2, 0, Rgb(130, 50, 50)}, // (160 + 100) / 2, green and blue 100 / 2
        {0, 1, Rgb(0, 0, 200)},
        {2, 1, Rgb(0, 0, 200)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(view.Row(c.y)[c.x], c.want) << c.x << ", " << c.y;
}

} // namespace
} // namespace ezedudu
