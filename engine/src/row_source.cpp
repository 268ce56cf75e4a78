#include "ezedudu/row_source.h"

namespace ezedudu {
namespace {

// Passes whole rows on from the span's first column.
class SpanOfRows : public RowSink {
public:
    SpanOfRows(std::int64_t firstColumn, RowSink& target) : first(firstColumn), sink(target) {}

    bool TakeRow(std::int64_t y, const std::uint32_t* pixels) override { return sink.TakeRow(y, pixels + first); }

private:
    std::int64_t first;
    RowSink& sink;
};

} // namespace

bool RowSource::ReadSpan(std::int64_t first, std::int64_t end, ColumnSpan span, RowSink& sink) const
{
    SpanOfRows cut(span.first, sink);
    return ReadRows(first, end, cut);
}

} // namespace ezedudu
