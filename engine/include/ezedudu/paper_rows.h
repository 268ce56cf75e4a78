#pragma once

#include "ezedudu/row_source.h"

#include <cstdint>

namespace ezedudu {

// A picture with alpha laid over paper of one colour (0xRRGGBB), row by row
// as it is read: each channel becomes (c * a + paper * (255 - a) + 127) / 255,
// so transparent pixels show the paper and partly transparent ones blend.
class PaperRows : public RowSource {
public:
    PaperRows(const RowSource& picture, std::uint32_t paper) : source(picture), paperColour(paper) {}

    std::int64_t Width() const override { return source.Width(); }
    std::int64_t Height() const override { return source.Height(); }
    bool CanSplit() const override { return source.CanSplit(); }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override;
    bool ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const override;

private:
    const RowSource& source;
    std::uint32_t paperColour;
};

} // namespace ezedudu
