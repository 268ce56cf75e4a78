#include "ezedudu/paper_rows.h"

#include <vector>

namespace ezedudu {
namespace {

class OverPaper : public RowSink {
public:
    OverPaper(RowSink& target, std::uint32_t paper, std::int64_t columns)
        : sink(target), paperColour(paper), row(static_cast<std::size_t>(columns))
    {
    }

    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override
    {
        for (std::size_t x = 0; x < row.size(); ++x)
            row[x] = Blend(pixels[x]);
        return sink.TakeRow(y, row.data());
    }

private:
    std::uint32_t Blend(std::uint32_t pixel) const
    {
        const std::uint32_t alpha = pixel >> 24;
        std::uint32_t blended = 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t colour = (pixel >> shift) & 0xFF;
            const std::uint32_t paper = (paperColour >> shift) & 0xFF;
            blended |= ((colour * alpha + paper * (255 - alpha) + 127) / 255) << shift;
        }
        return blended;
    }

    RowSink& sink;
    std::uint32_t paperColour;
    std::vector<std::uint32_t> row;
};

} // namespace

bool PaperRows::ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const
{
    OverPaper overPaper(sink, paperColour, Width());
    return source.ReadRows(first, end, overPaper);
}

bool PaperRows::ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const
{
    OverPaper overPaper(sink, paperColour, span.Count());
    return source.ReadSpan(first, end, span, overPaper);
}

} // namespace ezedudu
