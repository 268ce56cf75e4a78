#include "cell_bands.h"
#include "vector_clones.h"

#include "ezedudu/basMain.h"
#include "ezedudu/convert.h"
#include "ezedudu/nfo_text.h"

#include <algorithm>

namespace ezedudu {
namespace {

constexpr int BlockRows = RowStep + 1;
constexpr int BlockPixels = (ColumnStep + 1) * BlockRows;

// Two channels to a word, each in its own 16-bit half: a block adds at most
// 12 * 255 = 3060 per channel, so the halves never carry into each other.
constexpr std::uint32_t LowChannels = 0x00FF00FF;
constexpr std::uint32_t White = 0x00FFFFFF;

constexpr std::uint32_t RedBlueOf(std::uint32_t pixel)
{
    return pixel & LowChannels;
}

constexpr std::uint32_t GreenOf(std::uint32_t pixel)
{
    return (pixel >> 8) & LowChannels;
}

// The three loops below run for every pixel or cell. They take plain
// pointers, which byte stores cannot alias, so that the compiler turns each
// into vector code.

// Adds one row to a band's column sums: the first `inside` columns from
// pixels, the rest up to sumColumns as white.
EZEDUDU_VECTOR_CLONES void AddRow(std::uint32_t* redBlue, std::uint32_t* greenAlpha, const std::uint32_t* pixels,
                                  std::int64_t inside, std::int64_t sumColumns)
{
    for (std::int64_t x = 0; x < inside; ++x) {
        redBlue[x] += RedBlueOf(pixels[x]);
        greenAlpha[x] += GreenOf(pixels[x]);
    }
    for (std::int64_t x = inside; x < sumColumns; ++x) {
        redBlue[x] += RedBlueOf(White);
        greenAlpha[x] += GreenOf(White);
    }
}

// Each cell's truncated channel averages over its block of 3 columns of the
// band's column sums, as the per-pixel reference computes them.
EZEDUDU_VECTOR_CLONES void BlockAverages(const std::uint32_t* redBlue, const std::uint32_t* greenAlpha,
                                         std::int64_t cols, std::int32_t* red, std::int32_t* green,
                                         std::int32_t* blue)
{
    for (std::int64_t col = 0; col < cols; ++col) {
        const std::int64_t x = ColumnStep * col;
        const std::uint32_t blockRedBlue = redBlue[x] + redBlue[x + 1] + redBlue[x + 2];
        const std::uint32_t blockGreen = greenAlpha[x] + greenAlpha[x + 1] + greenAlpha[x + 2];
        red[col] = std::int32_t((blockRedBlue >> 16) / BlockPixels);
        green[col] = std::int32_t((blockGreen & 0xFFFF) / BlockPixels);
        blue[col] = std::int32_t((blockRedBlue & 0xFFFF) / BlockPixels);
    }
}

EZEDUDU_VECTOR_CLONES void GreyLevels(const std::int32_t* red, const std::int32_t* green, const std::int32_t* blue,
                                      std::int64_t cols, std::uint8_t* levels)
{
    for (std::int64_t col = 0; col < cols; ++col)
        levels[col] = basMain::GreyLevel(red[col], green[col], blue[col]);
}

} // namespace

CellBands::CellBands(std::int64_t width, std::int64_t pictureHeight, Range cells,
                     const std::array<std::uint8_t, 256>& outputTable, char* nfoText, BandDone onBandDone)
    : height(pictureHeight),
      lineCols(width / ColumnStep),
      range(cells),
      cols(cells.endCol - cells.firstCol),
      sumColumns(cols > 0 ? ColumnStep * cols + 1 : 0),
      readColumns(PixelSpan(width, cells.firstCol, cells.endCol).Count()),
      output(outputTable),
      text(nfoText),
      bandDone(std::move(onBandDone))
{
    // A range without bands takes rows only to pass them over.
    if (range.endBand <= range.firstBand)
        return;
    const auto cellCount = static_cast<std::size_t>(cols);
    red.resize(cellCount);
    green.resize(cellCount);
    blue.resize(cellCount);
    levels.resize(cellCount);
}

ColumnSpan CellBands::PixelSpan(std::int64_t width, std::int64_t firstCol, std::int64_t endCol)
{
    if (endCol <= firstCol)
        return {};
    return {ColumnStep * firstCol, std::min(width, ColumnStep * endCol + 1)};
}

bool CellBands::TakeRow(std::int64_t y, const std::uint32_t* pixels)
{
    // Row y is the first row of band y / 3, and the last one of the band
    // before when it is a band's first row.
    const std::int64_t band = y / RowStep;
    if (y % RowStep == 0 && band > 0 && !Take(band - 1, pixels))
        return false;
    return Take(band, pixels);
}

bool CellBands::Take(std::int64_t band, const std::uint32_t* pixels)
{
    if (band < range.firstBand || band >= range.endBand)
        return true;
    OpenBand& taking = Open(band);
    Add(taking, pixels);
    if (++taking.rowsTaken < BlockRows)
        return true;
    WriteLine(taking);
    const auto finished = std::find_if(open.begin(), open.end(), [band](const OpenBand& b) { return b.index == band; });
    spare.push_back(std::move(*finished));
    open.erase(finished);
    return bandDone();
}

CellBands::OpenBand& CellBands::Open(std::int64_t band)
{
    for (OpenBand& candidate : open)
        if (candidate.index == band)
            return candidate;
    if (spare.empty()) {
        open.emplace_back();
    } else {
        open.push_back(std::move(spare.back()));
        spare.pop_back();
    }
    OpenBand& opened = open.back();
    opened.index = band;
    opened.rowsTaken = 0;
    opened.redBlue.assign(static_cast<std::size_t>(sumColumns), 0);
    opened.green.assign(static_cast<std::size_t>(sumColumns), 0);
    // The last band of a picture whose height is a multiple of 3 reaches the
    // row just below it, which reads as white.
    for (std::int64_t y = RowStep * band; y < RowStep * band + BlockRows; ++y)
        if (y >= height) {
            Add(opened, nullptr);
            ++opened.rowsTaken;
        }
    return opened;
}

void CellBands::Add(OpenBand& band, const std::uint32_t* pixels) const
{
    AddRow(band.redBlue.data(), band.green.data(), pixels, pixels ? readColumns : 0, sumColumns);
}

void CellBands::WriteLine(const OpenBand& band)
{
    BlockAverages(band.redBlue.data(), band.green.data(), cols, red.data(), green.data(), blue.data());
    GreyLevels(red.data(), green.data(), blue.data(), cols, levels.data());
    const std::uint8_t* const bytes = output.data();
    char* const line = text + NfoLineStart(lineCols, band.index) + range.firstCol;
    for (std::int64_t col = 0; col < cols; ++col)
        line[col] = static_cast<char>(bytes[levels[static_cast<std::size_t>(col)]]);
}

} // namespace ezedudu
