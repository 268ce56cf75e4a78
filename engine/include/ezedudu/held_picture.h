#pragma once

#include "ezedudu/canvas.h"
#include "ezedudu/row_source.h"

#include <cstdint>
#include <vector>

namespace ezedudu {

// A picture held whole in memory in the canvas layout, either its own pixels
// or a view onto pixels its source already holds.
class HeldPicture {
public:
    // Owns width x height pixels, all 0 until written.
    HeldPicture(std::int64_t width, std::int64_t height);
    // Views pixels that outlive it.
    explicit HeldPicture(const Canvas& held) : canvas(held) {}

    HeldPicture(HeldPicture&&) = default;
    HeldPicture& operator=(HeldPicture&&) = default;

    const Canvas& View() const { return canvas; }
    // Row y of pixels it owns.
    std::uint32_t* Row(std::int64_t y) { return pixels.data() + y * canvas.Width(); }

private:
    std::vector<std::uint32_t> pixels;
    Canvas canvas;
};

// The picture's rows gathered into memory, or a view onto them where the
// source already holds them in the canvas layout. Throws what the source
// throws, or Error (PictureTooLarge) when there is no memory for them.
HeldPicture GatherRows(const RowSource& picture);

} // namespace ezedudu
