#include "ezedudu/page.h"
#include "ezedudu/page_writer.h"

#include <gtest/gtest.h>

#include <vector>

namespace ezedudu {
namespace {

// Every byte but the tab is a glyph in UTF-8, the pictures too.
TEST(WritePage, WritesEachLineWithCrLfInEitherEncoding)
{
    Page page;
    page.AddLine("\xDB\xB2\xB1\xB0 ");
    page.AddLine("-x-\t\x10\x11\x01\xC9\xCD\xBB\x82");
    EXPECT_EQ(WritePage(page, TextEncoding::Utf8),
              "\u2588\u2593\u2592\u2591 \r\n-x-\t\u25BA\u25C4\u263A\u2554\u2550\u2557\u00E9\r\n");
    EXPECT_EQ(WritePage(page, TextEncoding::Cp437), "\xDB\xB2\xB1\xB0 \r\n-x-\t\x10\x11\x01\xC9\xCD\xBB\x82\r\n");
}

TEST(Page, KnowsItsSizeAndLinesWhateverTheyWereAddedAs)
{
    // Zero-width art still has its (empty) lines; art without rows has none.
    for (const auto& [cols, rows] : {std::pair{120, 40}, {3, 2}, {0, 2}, {4, 0}, {0, 0}}) {
        Page page;
        page.AddBlankLines(cols, rows);
        EXPECT_EQ(page.Width(), rows > 0 ? cols : 0) << cols << " x " << rows;
        EXPECT_EQ(page.LineCount(), rows) << cols << " x " << rows;
    }
    Page page;
    page.AddLine("ab");
    const CellBlock block = page.AddBlankLines(3, 2);
    block.Line(1)[2] = '\xDB';
    page.AddLine("cd");
    page.AddLine({});
    const std::vector<std::string_view> lines = {"ab", "   ", "  \xDB", "cd", ""};
    ASSERT_EQ(page.LineCount(), 5);
    EXPECT_EQ(page.Width(), 3);
    for (std::size_t line = 0; line < lines.size(); ++line)
        EXPECT_EQ(page.Line(std::int64_t(line)), lines[line]) << line;
    EXPECT_EQ(page.Cp437(), "ab\r\n   \r\n  \xDB\r\ncd\r\n\r\n");
}

} // namespace
} // namespace ezedudu
