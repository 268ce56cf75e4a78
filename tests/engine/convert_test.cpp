#include "ezedudu/convert.h"
#include "ezedudu/glyph_ramp.h"

#include "bottom_up_rows.h"
#include "memory_picture.h"
#include "reference_nfo.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace ezedudu {
namespace {

const std::string Closing = "\r\n" + std::string(27, ' ') + "-created with tavix's zor ezedudu-\r\n";

std::string Convert(const MemoryPicture& picture)
{
    const auto nfo = NfoOf(ConvertPicture(picture.View()));
    EXPECT_TRUE(nfo.has_value());
    return nfo.value_or("");
}

TEST(GlyphRamp, SplitsGreyLevelsIntoFiveBands)
{
    const struct {
        int level;
        int glyph;
    } cases[] = {{0, 219},  {29, 219},  {30, 178},  {89, 178}, {90, 177},
                 {149, 177}, {150, 176}, {209, 176}, {210, 32}, {255, 32}};
    for (const auto& c : cases)
        EXPECT_EQ(GlyphRamp(static_cast<std::uint8_t>(c.level)), c.glyph) << "level " << c.level;
}

TEST(ConvertPicture, SevenBySevenBlackGivesTheExactFile)
{
    const std::string expected = "\xDB\xDB\xDB\r\n\xDB\xDB\xDB\r\n" + Closing;
    const std::string nfo = Convert(MemoryPicture(7, 7, Grey(0)));
    EXPECT_EQ(nfo.size(), 75u);
    EXPECT_EQ(Hex(nfo), Hex(expected));
}

TEST(ConvertPicture, LinesFollowTheTwoByThreeGrid)
{
    const struct {
        int width, height;
        std::uint32_t fill;
        std::string pictureLines;
    } cases[] = {
        // Row 3 lies outside: 3 white positions in the first cell, 6 in the
        // second, which also reads column 4.
        {4, 3, Grey(0), "\xB2\xB1\r\n"},
        {5, 5, Grey(0), "\xDB\xDB\r\n"},
        {6, 4, Grey(0), "\xDB\xDB\xB2\r\n"},  // third cell: 4 white positions of 12, grey 85
        {5, 4, Grey(210), "\xB0\xB0\r\n"},    // uniform 210 is level 209: light shade
        {5, 4, Grey(255), "  \r\n"},           // trailing spaces stay
        {1, 6, Grey(0), "\r\n\r\n"},           // no columns, two empty lines
        {9, 2, Grey(0), ""},                   // no rows
        {0, 0, Grey(0), ""},
    };
    for (const auto& c : cases) {
        const std::string nfo = Convert(MemoryPicture(c.width, c.height, c.fill));
        EXPECT_EQ(Hex(nfo), Hex(c.pictureLines + Closing)) << c.width << " x " << c.height;
    }
}

TEST(ConvertPicture, ConvertsPicturesOfAnyCellCount)
{
    // 32767 cells, 51200 cells and three million cells: no counter limit.
    const struct {
        int width, height;
    } cases[] = {{302, 651}, {640, 480}, {2000, 1500}, {3203, 2405}};
    for (const auto& c : cases) {
        const std::string nfo = Convert(MemoryPicture(c.width, c.height, Grey(0)));
        const std::size_t cols = c.width / 2;
        const std::size_t rows = c.height / 3;
        ASSERT_EQ(nfo.size(), rows * (cols + 2) + 65) << c.width << " x " << c.height;
        EXPECT_EQ(static_cast<unsigned char>(nfo[0]), 219);
        for (std::size_t row = 0; row < rows; ++row)
            ASSERT_EQ(nfo.substr(row * (cols + 2) + cols, 2), "\r\n") << "line " << row;
    }
}

TEST(ConvertPicture, MatchesThePlainPerPixelConversion)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 40; ++round) {
        const int width = int(random() % 41);
        const int height = int(random() % 31);
        MemoryPicture picture(width, height);
        picture.Scramble(static_cast<std::uint32_t>(random()));
        ASSERT_EQ(Hex(Convert(picture)), Hex(ReferenceNfo(picture.View()))) << width << " x " << height;
    }
}

TEST(ConvertPicture, MatchesThePlainConversionOnGradients)
{
    // Smooth ramps put many cells right at the band edges.
    MemoryPicture picture(257, 97);
    for (int y = 0; y < 97; ++y)
        for (int x = 0; x < 257; ++x)
            picture.Set(x, y, Rgb(std::uint8_t(x), std::uint8_t(255 - x), std::uint8_t(y * 2)));
    EXPECT_EQ(Convert(picture), ReferenceNfo(picture.View()));
}

TEST(ConvertRows, GivesTheSameBytesWhateverTheRowOrderAndThreadCount)
{
    const struct {
        int width, height;
    } cases[] = {{7, 7}, {6, 4}, {8, 9}, {41, 30}, {1, 6}, {9, 2}, {3, 3}, {640, 481}};
    for (const auto& c : cases) {
        MemoryPicture picture(c.width, c.height);
        picture.Scramble(std::uint32_t(c.width * 1000 + c.height));
        const std::string expected = ReferenceNfo(picture.View());
        for (const int threads : {1, 2}) {
            const auto nfo = NfoOf(ConvertRows(BottomUpRows(picture.View()), nullptr, threads));
            ASSERT_TRUE(nfo);
            EXPECT_EQ(*nfo, expected) << c.width << " x " << c.height << ", " << threads << " threads";
        }
    }
}

// A picture far too wide to hold a row of: its pixels repeat every six
// columns, and only spans of a bounded width are handed out.
class WideStripe : public RowSource {
public:
    WideStripe(std::int64_t pictureWidth, std::int64_t pictureHeight) : width(pictureWidth), height(pictureHeight) {}

    static std::uint32_t Pixel(std::int64_t x) { return Grey(std::uint8_t(x % 6 * 50)); }

    std::int64_t Width() const override { return width; }
    std::int64_t Height() const override { return height; }
    bool CanSplit() const override { return true; }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override
    {
        return ReadSpan(first, end, {0, width}, sink);
    }
    bool ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const override
    {
        if (span.Count() > MaxSpan) {
            ADD_FAILURE() << "asked for " << span.Count() << " columns at once";
            return false;
        }
        std::vector<std::uint32_t> row;
        for (std::int64_t x = span.first; x < span.end; ++x)
            row.push_back(Pixel(x));
        for (std::int64_t y = first; y < end; ++y)
            if (!sink.TakeRow(y, row.data()))
                return false;
        return true;
    }

private:
    static constexpr std::int64_t MaxSpan = 4 << 20;
    std::int64_t width;
    std::int64_t height;
};

TEST(ConvertRows, ConvertsAPictureTooWideToHoldARowOfASpanAtATime)
{
    const struct {
        std::int64_t width, height;
    } cases[] = {{400'000'000, 1}, {400'000'000, 2}, {6'000'001, 3}, {6'000'001, 5}};
    for (const auto& c : cases) {
        // Its art repeats every three cells, as a narrow cut of it converts.
        MemoryPicture narrow(13, c.height);
        for (int x = 0; x < 13; ++x)
            for (int y = 0; y < c.height; ++y)
                narrow.Set(x, y, WideStripe::Pixel(x));
        const std::string period = Convert(narrow).substr(0, 3);
        for (const int threads : {1, 2}) {
            const auto nfo = NfoOf(ConvertRows(WideStripe(c.width, c.height), nullptr, threads));
            ASSERT_TRUE(nfo) << c.width << " x " << c.height;
            const std::int64_t cols = c.height >= 3 ? c.width / 2 : 0;
            ASSERT_EQ(std::int64_t(nfo->size()), (c.height >= 3 ? cols + 2 : 0) + 65) << c.width << " x " << c.height;
            for (std::int64_t col = 0; col < cols; ++col)
                ASSERT_EQ((*nfo)[col], period[col % 3]) << "cell " << col << " of " << c.width << " x " << c.height;
        }
    }
}

class RecordingObserver : public ConversionObserver {
public:
    void CellRowDone(std::int64_t value, std::int64_t maximum) override
    {
        reports.push_back({value, maximum});
    }
    bool CancelRequested() override { return cancelAfter > 0 && std::ssize(reports) >= cancelAfter; }

    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
    std::ptrdiff_t cancelAfter = 0;
};

TEST(ConvertPicture, ReportsProgressAfterEachRowOfCells)
{
    RecordingObserver observer;
    ASSERT_TRUE(ConvertPicture(MemoryPicture(8, 9).View(), &observer));
    const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {{3, 12}, {7, 12}, {11, 12}};
    EXPECT_EQ(observer.reports, expected);

    RecordingObserver noCells;
    ASSERT_TRUE(ConvertPicture(MemoryPicture(1, 9).View(), &noCells));
    EXPECT_TRUE(noCells.reports.empty());
}

TEST(ConvertRows, StopsWithoutResultWhenCancelled)
{
    const MemoryPicture picture(8, 30);
    for (const int threads : {1, 2}) {
        RecordingObserver observer;
        observer.cancelAfter = 2;
        EXPECT_FALSE(ConvertRows(BottomUpRows(picture.View()), &observer, threads).has_value()) << threads;
        EXPECT_EQ(observer.reports.size(), 2u) << threads;
    }
}

} // namespace
} // namespace ezedudu
