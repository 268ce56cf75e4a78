#pragma once

#include "bitmap_header.h"
#include "bitmap_pixels.h"

#include "ezedudu/row_source.h"

#include <functional>
#include <istream>
#include <memory>

namespace ezedudu {

// Opens a fresh stream at the start of the bitmap's bytes, for each reader.
using StreamOpener = std::function<std::unique_ptr<std::istream>()>;

// A bitmap read straight from its bytes, a block of rows at a time, without
// ever holding the whole picture. The headers are read and checked when it
// is made; plain and bit-field bitmaps can be read in ranges side by side
// and a span of columns at a time, run-length ones only whole, a row at a
// time. A bitmap whose alpha is 0 in every pixel is read as opaque.
class BitmapRows : public RowSource {
public:
    // Throws ezedudu::Error for a corrupt or unsupported bitmap, or one over
    // maxPixels.
    BitmapRows(StreamOpener open, std::uint64_t fileSize, std::int64_t maxPixels);

    std::int64_t Width() const override { return layout.width; }
    std::int64_t Height() const override { return layout.height; }
    bool HasAlpha() const override { return layout.alphaMask != 0; }
    bool CanSplit() const override;
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override;
    bool ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const override;

private:
    std::unique_ptr<std::istream> OpenAt(std::uint64_t offset) const;
    bool ReadStoredRows(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const;

    StreamOpener open;
    std::uint64_t fileSize;
    BitmapLayout layout;
    RowDecoder decoder;
};

} // namespace ezedudu
