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
// passed over.
class CellBands : public RowSink {
public:
    // Called after each finished band; false stops the reading.
    using BandDone = std::function<bool()>;

    // text points at the NFO frame (NfoFrame) of the whole picture; only this
    // range's lines are written, so ranges may be converted side by side.
    CellBands(std::int64_t width, std::int64_t height, std::int64_t firstBand, std::int64_t endBand,
              const std::array<std::uint8_t, 256>& output, char* text, BandDone onBandDone);

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
    std::int64_t cols;
    std::int64_t firstBand;
    std::int64_t endBand;
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
