#pragma once

#include "ezedudu/row_source.h"

#include <cstdint>
#include <string_view>

namespace ezedudu {

// Pixels the browser decoded, 4 bytes each (red, green, blue and straight,
// not premultiplied, alpha), row by row from the top, handed out in the
// canvas layout.
class RgbaRows : public RowSource {
public:
    // The bytes must outlive it and hold width x height pixels; alpha is
    // false when every pixel is opaque.
    RgbaRows(std::string_view rgba, std::int64_t width, std::int64_t height, bool alpha);

    std::int64_t Width() const override { return width; }
    std::int64_t Height() const override { return height; }
    bool HasAlpha() const override { return alpha; }
    bool CanSplit() const override { return true; }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override;

private:
    std::string_view bytes;
    std::int64_t width;
    std::int64_t height;
    bool alpha;
};

} // namespace ezedudu
