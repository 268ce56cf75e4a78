#include "ezedudu/convert.h"

#include "ezedudu/basMain.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ezedudu {
namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr int BlockColumns = ColumnStep + 1;
constexpr int BlockRows = RowStep + 1;
constexpr int BlockPixels = BlockColumns * BlockRows;
constexpr std::uint32_t White = 0x00FFFFFF;

// Channel sums are kept two to a word: red in the high half, blue in the low
// half. A block adds at most 12 * 255 = 3060 per channel, so the halves never
// carry into each other.
constexpr std::uint32_t RedBlueMask = 0x00FF00FF;

// Sums per picture column over the rows of one band of cells. Index x covers
// column x; the last index may be the column just past the picture's right
// edge, which reads as white.
class ColumnSums {
public:
    explicit ColumnSums(std::int64_t columns) : redBlue(columns), green(columns) {}

    void Clear()
    {
        std::fill(redBlue.begin(), redBlue.end(), 0);
        std::fill(green.begin(), green.end(), 0);
    }

    void AddRow(const std::uint32_t* pixels, std::int64_t pixelCount)
    {
        const std::int64_t count = std::min<std::int64_t>(pixelCount, std::ssize(redBlue));
        for (std::int64_t x = 0; x < count; ++x) {
            redBlue[x] += pixels[x] & RedBlueMask;
            green[x] += (pixels[x] >> 8) & 0xFF;
        }
        for (std::int64_t x = count; x < std::ssize(redBlue); ++x)
            AddWhite(x);
    }

    void AddWhiteRow()
    {
        for (std::int64_t x = 0; x < std::ssize(redBlue); ++x)
            AddWhite(x);
    }

    // The block of the cell whose left column is x.
    std::uint32_t BlockRedBlue(std::int64_t x) const { return redBlue[x] + redBlue[x + 1] + redBlue[x + 2]; }
    std::uint32_t BlockGreen(std::int64_t x) const { return green[x] + green[x + 1] + green[x + 2]; }

private:
    void AddWhite(std::int64_t x)
    {
        redBlue[x] += White & RedBlueMask;
        green[x] += 0xFF;
    }

    std::vector<std::uint32_t> redBlue;
    std::vector<std::uint32_t> green;
};

std::uint8_t AverageOf(std::uint32_t sum)
{
    return static_cast<std::uint8_t>(sum / BlockPixels);
}

constexpr std::array<std::uint8_t, 256> MakeGlyphTable()
{
    std::array<std::uint8_t, 256> table{};
    for (int level = 0; level < 256; ++level) {
        if (level < 30)
            table[level] = 219;
        else if (level < 90)
            table[level] = 178;
        else if (level < 150)
            table[level] = 177;
        else if (level < 210)
            table[level] = 176;
        else
            table[level] = ' ';
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> GlyphTable = MakeGlyphTable();

} // namespace

std::uint8_t GlyphRamp(std::uint8_t greyLevel)
{
    return GlyphTable[greyLevel];
}

std::optional<std::string> ConvertPicture(const Canvas& canvas, ConversionObserver* observer)
{
    const std::int64_t cols = canvas.Width() / ColumnStep;
    const std::int64_t rows = canvas.Height() / RowStep;

    std::string text;
    text.reserve(static_cast<std::size_t>(rows * (cols + 2)) + 2 + ClosingLine.size() + 2);

    // Cells reach from column 0 to column ColumnStep * cols inclusive.
    ColumnSums sums(cols > 0 ? ColumnStep * cols + 1 : 0);
    for (std::int64_t row = 0; row < rows; ++row) {
        sums.Clear();
        for (std::int64_t y = RowStep * row; y < RowStep * row + BlockRows; ++y) {
            if (y < canvas.Height())
                sums.AddRow(canvas.Row(y), canvas.Width());
            else
                sums.AddWhiteRow();
        }
        for (std::int64_t col = 0; col < cols; ++col) {
            const std::uint32_t redBlue = sums.BlockRedBlue(ColumnStep * col);
            const std::uint8_t level = basMain::GreyLevel(
                AverageOf(redBlue >> 16), AverageOf(sums.BlockGreen(ColumnStep * col)), AverageOf(redBlue & 0xFFFF));
            text.push_back(static_cast<char>(GlyphRamp(level)));
        }
        text += LineEnd;

        if (observer && cols > 0) {
            observer->CellRowDone(cols * row + cols - 1, cols * rows);
            if (observer->CancelRequested())
                return std::nullopt;
        }
    }

    text += LineEnd;
    text += ClosingLine;
    text += LineEnd;
    return text;
}

} // namespace ezedudu
