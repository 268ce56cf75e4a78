#pragma once

#include "ezedudu/row_source.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace ezedudu {

// A band is one row of character cells: band r reads picture rows 3r to
// 3r + 3, so neighbouring bands share a row. CellBands takes the picture
// rows of the bands firstBand to endBand - 1 in any order, each row once, and
// writes each band's cells into its line of the NFO text as soon as its four
// rows are in: each cell's grey level looked up in the output table (glyphs,
// or levels to be finished later). Rows no band of the range reads are
// passed over. It covers the cell columns firstCol to endCol - 1 alone, and
// takes the picture columns their blocks read (PixelSpan), so that what it
// holds grows with those columns, never with the picture's width.
class CellBands : public RowSink {
public:
    // Called after each finished band; false stops the reading.
    using BandDone = std::function<bool()>;

    struct Range {
        std::int64_t firstBand = 0, endBand = 0;
        std::int64_t firstCol = 0, endCol = 0;
    };

    // text points at the art lines of the whole picture (Page::AddBlankLines); only this
    // range's cells are written, so ranges may be converted side by side.
    CellBands(std::int64_t width, std::int64_t height, Range range, const std::array<std::uint8_t, 256>& output,
              char* text, BandDone onBandDone);

    // The picture columns the cells of firstCol to endCol - 1 read: two a
    // cell and the one their last block reaches past them, inside the
    // picture. None when there are no such cells.
    static ColumnSpan PixelSpan(std::int64_t width, std::int64_t firstCol, std::int64_t endCol);

    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override;

private:
    // Channel sums per picture column over the rows a band has taken so far,
    // two channels to a word (see LowChannels).
    struct OpenBand {
        std::int64_t index = 0;
        int rowsTaken = 0;
        std::vector<std::uint32_t> redBlue; // red in the high half, blue in the low half
        std::vector<std::uint32_t> green;   // green in the low half; the high half gathers unused alpha
    };

    bool Take(std::int64_t band, const std::uint32_t* pixels);
    OpenBand& Open(std::int64_t band);
    void Add(OpenBand& band, const std::uint32_t* pixels) const;
    void WriteLine(const OpenBand& band);

    std::int64_t height;
    std::int64_t lineCols; // the whole art's, which places the lines in the text
    Range range;
    std::int64_t cols;        // this range's
    std::int64_t sumColumns;  // 2 * cols + 1: a band's last block reaches one column further
    std::int64_t readColumns; // the picture columns within those; the rest read as white
    const std::array<std::uint8_t, 256>& output;
    char* text;
    BandDone bandDone;
    std::vector<OpenBand> open;
    std::vector<OpenBand> spare; // finished bands, kept so their sums need no new allocation
    // A finished band's cells, channel by channel, then their grey levels:
    // plain arrays, so that each step runs as one simple loop.
    std::vector<std::int32_t> red, green, blue;
    std::vector<std::uint8_t> levels;
};

} // namespace ezedudu
