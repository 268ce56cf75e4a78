#include "bitmap_rle.h"

#include "ezedudu/error.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ezedudu {
namespace {

[[noreturn]] void Refuse(const std::string& reason)
{
    throw Error(Error::Kind::UnreadablePicture, "corrupt bitmap: " + reason);
}

// The run-length bytes, read from the file a block at a time.
class ByteStream {
public:
    ByteStream(std::istream& source, std::uint64_t bytes) : in(source), left(bytes) {}

    bool AtEnd()
    {
        return next == buffer.size() && left == 0;
    }

    std::uint8_t Next()
    {
        if (next == buffer.size())
            Refill();
        return buffer[next++];
    }

private:
    void Refill()
    {
        if (left == 0)
            Refuse("the run-length data ends before the picture is complete");
        buffer.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, BlockBytes)));
        in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        if (in.gcount() != static_cast<std::streamsize>(buffer.size()))
            Refuse("the file ended while its run-length data was read");
        left -= buffer.size();
        next = 0;
    }

    static constexpr std::uint64_t BlockBytes = 64 * 1024;
    std::istream& in;
    std::uint64_t left;
    std::vector<std::uint8_t> buffer;
    std::size_t next = 0;
};

// The row being decoded and where the data stands in it. Rows are counted
// in file order: stored row 0 is the bottom row of the picture.
class RowCursor {
public:
    RowCursor(const BitmapLayout& bitmap, RowSink& rowSink)
        : layout(bitmap), sink(rowSink), row(static_cast<std::size_t>(bitmap.width), bitmap.palette[0])
    {
    }

    // Checks that count more pixels fit on the current line.
    void Expect(std::int64_t count) const
    {
        if (stored >= layout.height)
            Refuse("the run-length data runs beyond the last line");
        if (x + count > layout.width)
            Refuse("the run-length data runs past the end of line " + std::to_string(stored));
    }

    void Put(std::uint8_t index) { row[static_cast<std::size_t>(x++)] = layout.palette[index]; }

    // Finishes rows until the data stands at (toX, toStored); false when the
    // sink stops.
    bool MoveTo(std::int64_t toX, std::int64_t toStored)
    {
        for (; stored < toStored; ++stored) {
            if (!sink.TakeRow(layout.height - 1 - stored, row.data()))
                return false;
            std::fill(row.begin(), row.end(), layout.palette[0]);
        }
        x = toX;
        return true;
    }

    std::int64_t X() const { return x; }
    std::int64_t Stored() const { return stored; }

private:
    const BitmapLayout& layout;
    RowSink& sink;
    std::vector<std::uint32_t> row;
    std::int64_t x = 0;
    std::int64_t stored = 0;
};

enum Escape : std::uint8_t { EndOfLine = 0, EndOfBitmap = 1, Delta = 2 };

} // namespace

bool DecodeRunLengthRows(std::istream& in, std::uint64_t available, const BitmapLayout& layout, RowSink& sink)
{
    const bool fourBit = layout.coding == BitmapLayout::Coding::Rle4;
    ByteStream data(in, available);
    RowCursor cursor(layout, sink);
    // A stream that stops without its end-of-bitmap mark is whole only when
    // every line has been ended.
    while (!(cursor.Stored() == layout.height && data.AtEnd())) {
        const std::uint8_t count = data.Next();
        const std::uint8_t value = data.Next();
        if (count > 0) {
            // A run: count pixels of one index, or of two alternating ones.
            cursor.Expect(count);
            for (int i = 0; i < count; ++i)
                cursor.Put(fourBit ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
        } else if (value == EndOfLine) {
            if (cursor.Stored() >= layout.height)
                Refuse("the run-length data runs beyond the last line");
            if (!cursor.MoveTo(0, cursor.Stored() + 1))
                return false;
        } else if (value == EndOfBitmap) {
            return cursor.MoveTo(0, layout.height);
        } else if (value == Delta) {
            const std::int64_t right = data.Next();
            const std::int64_t up = data.Next();
            if (cursor.Stored() + up >= layout.height || cursor.X() + right > layout.width)
                Refuse("a run-length delta leaves the picture");
            if (!cursor.MoveTo(cursor.X() + right, cursor.Stored() + up))
                return false;
        } else {
            // Literal pixels: value indices, padded to a whole number of words.
            cursor.Expect(value);
            std::uint8_t pair = 0;
            for (int i = 0; i < value; ++i) {
                if (!fourBit)
                    cursor.Put(data.Next());
                else {
                    if (i % 2 == 0)
                        pair = data.Next();
                    cursor.Put(i % 2 == 0 ? pair >> 4 : pair & 0x0F);
                }
            }
            const int bytes = fourBit ? (value + 1) / 2 : value;
            if (bytes % 2 != 0)
                data.Next();
        }
    }
    return true;
}

} // namespace ezedudu
