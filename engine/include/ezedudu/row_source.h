#pragma once

#include <cstdint>

namespace ezedudu {

class Canvas;

// The picture columns first <= x < end.
struct ColumnSpan {
    std::int64_t first = 0;
    std::int64_t end = 0;

    std::int64_t Count() const { return end - first; }
};

// Takes picture rows as a source reads them.
class RowSink {
public:
    virtual ~RowSink() = default;

    // Row y (0 is the top) of the picture: the pixels of the columns read,
    // left to right, in the canvas layout (0x??RRGGBB words), valid during
    // the call. False stops reading.
    virtual bool TakeRow(std::int64_t y, const std::uint32_t* pixels) = 0;
};

// A picture that hands out its rows in the order it stores them, so that it
// never has to be held whole: a bitmap file is read bottom row first.
class RowSource {
public:
    virtual ~RowSource() = default;

    virtual std::int64_t Width() const = 0;
    virtual std::int64_t Height() const = 0;
    // The picture's own size, before its decoder shrank it to Width() x
    // Height() (see DecodeDivisor): fitted art is measured by it, so that the
    // art's size never depends on the decode.
    virtual std::int64_t FullWidth() const { return Width(); }
    virtual std::int64_t FullHeight() const { return Height(); }

    // True when the pixels' top byte is their alpha (0 transparent, 255
    // opaque); otherwise it means nothing and every pixel is opaque.
    virtual bool HasAlpha() const { return false; }

    // The whole picture where the source already holds it in the canvas
    // layout, so that it need not be gathered again; valid while the source
    // lives. Null otherwise.
    virtual const Canvas* Held() const { return nullptr; }

    // True when ReadRows may run for separate ranges at once, each on its own
    // thread. Otherwise only the whole picture, 0 to Height(), can be read.
    virtual bool CanSplit() const = 0;

    // Gives every row first <= y < end to the sink once, all Width() columns
    // of it, in the source's order. False when the sink stopped it. Throws
    // when the rows cannot be read or are corrupt.
    virtual bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const = 0;

    // ReadRows for the columns of span alone (inside 0 to Width()): the
    // sink's pixels start at column span.first; an empty span still reads
    // every row of the range. Sources that can read part of a row override
    // this, so that a very wide picture is never held a whole row at a time;
    // by default whole rows are read and cut.
    virtual bool ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const;
};

} // namespace ezedudu
