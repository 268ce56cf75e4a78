#pragma once

#include "ezedudu/canvas.h"
#include "ezedudu/row_source.h"

namespace ezedudu {

// Hands out a picture's rows bottom row first, as most bitmap files store
// them.
class BottomUpRows : public RowSource {
public:
    explicit BottomUpRows(const Canvas& picture) : canvas(picture) {}

    std::int64_t Width() const override { return canvas.Width(); }
    std::int64_t Height() const override { return canvas.Height(); }
    bool CanSplit() const override { return true; }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override
    {
        for (std::int64_t y = end - 1; y >= first; --y)
            if (!sink.TakeRow(y, canvas.Row(y)))
                return false;
        return true;
    }

private:
    const Canvas& canvas;
};

} // namespace ezedudu
