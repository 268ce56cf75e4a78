#pragma once

#include "ezedudu/canvas.h"

namespace ezedudu {

// Hands out a picture's rows bottom row first, as most bitmap files store
// them.
class BottomUpRows : public CanvasRows {
public:
    explicit BottomUpRows(const Canvas& picture) : CanvasRows(picture), canvas(picture) {}

    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override
    {
        for (std::int64_t y = end - 1; y >= first; --y)
            if (!sink.TakeRow(y, canvas.Row(y)))
                return false;
        return true;
    }

private:
    Canvas canvas;
};

} // namespace ezedudu
