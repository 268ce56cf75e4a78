#pragma once

#include <cstdint>
#include <optional>

namespace ezedudu {

// NFO viewers show this many columns; wider art wraps or is cut. Art one
// column narrower fits every one of them.
inline constexpr std::int64_t ViewerColumns = 80;
inline constexpr std::int64_t FittingColumns = ViewerColumns - 1;

// The viewer's character cell, height over width: 2.0 for VGA's 8 x 16.
inline constexpr double DefaultCellAspect = 2.0;

struct ArtSize {
    std::int64_t columns = 0;
    std::int64_t rows = 0;
};

// The art size that keeps a width x height picture's proportions in a viewer
// whose cells are cellAspect times as high as wide. Columns alone:
// rows = max(1, round(columns * height / (width * cellAspect))); rows alone:
// columns = max(1, round(rows * width * cellAspect / height)); both: the
// largest such art that fits inside columns x rows. Throws Error
// (UnreadablePicture) for a picture without pixels.
ArtSize FitArt(std::int64_t width, std::int64_t height, std::optional<std::int64_t> columns,
               std::optional<std::int64_t> rows, double cellAspect);

} // namespace ezedudu
