#pragma once

#include <cstdint>

namespace ezedudu {

// Takes picture rows as a source reads them.
class RowSink {
public:
    virtual ~RowSink() = default;

    // Row y (0 is the top) of the picture: Width() pixels in the canvas
    // layout (0x??RRGGBB words), valid during the call. False stops reading.
    virtual bool TakeRow(std::int64_t y, const std::uint32_t* pixels) = 0;
};

// A picture that hands out its rows in the order it stores them, so that it
// never has to be held whole: a bitmap file is read bottom row first.
class RowSource {
public:
    virtual ~RowSource() = default;

    virtual std::int64_t Width() const = 0;
    virtual std::int64_t Height() const = 0;

    // True when ReadRows may run for separate ranges at once, each on its own
    // thread. Otherwise only the whole picture, 0 to Height(), can be read.
    virtual bool CanSplit() const = 0;

    // Gives every row first <= y < end to the sink once, in the source's
    // order. False when the sink stopped it. Throws when the
    // rows cannot be read or are corrupt.
    virtual bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const = 0;
};

} // namespace ezedudu
