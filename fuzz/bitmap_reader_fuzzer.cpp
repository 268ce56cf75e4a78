// Feeds any bytes to the bitmap reader as a whole file and reads every row,
// in ranges side by side and one of them a span of columns where the bitmap
// allows it.
#include "bitmap_rows.h"
#include "shared_bytes_stream.h"

#include "ezedudu/error.h"
#include "fuzz_pixel_limit.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

using namespace ezedudu;

class CheckingSink : public RowSink {
public:
    explicit CheckingSink(std::int64_t rowWidth) : width(rowWidth) {}
    bool TakeRow(std::int64_t, const std::uint32_t* pixels) override
    {
        // Touch every pixel, so that a short row shows up under AddressSanitizer.
        for (std::int64_t x = 0; x < width; ++x)
            checksum += pixels[x];
        return true;
    }
    std::uint32_t checksum = 0;

private:
    std::int64_t width;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Every reader gets its own stream over the same bytes, as for standard input.
    const auto bytes = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    try {
        const BitmapRows bitmap([bytes] { return std::make_unique<SharedBytesStream>(bytes); }, size, FuzzPixelLimit());
        CheckingSink sink(bitmap.Width());
        if (bitmap.CanSplit()) {
            const std::int64_t middle = bitmap.Height() / 2;
            const ColumnSpan span{bitmap.Width() / 3, bitmap.Width()};
            CheckingSink spanSink(span.Count());
            bitmap.ReadSpan(middle, bitmap.Height(), span, spanSink);
            bitmap.ReadRows(0, middle, sink);
        } else {
            bitmap.ReadRows(0, bitmap.Height(), sink);
        }
    } catch (const Error&) {
        // Refused with a reason: what the reader should do with bad bytes.
    }
    return 0;
}
