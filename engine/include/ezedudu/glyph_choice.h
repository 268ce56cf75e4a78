#pragma once

#include "ezedudu/convert.h"

#include <cstdint>
#include <vector>

namespace ezedudu {

// Grey levels at the cells' sampling resolution, row by row.
struct LevelGrid {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::vector<std::uint8_t> levels;

    std::uint8_t& At(std::int64_t x, std::int64_t y) { return levels[static_cast<std::size_t>(y * width + x)]; }
    std::uint8_t At(std::int64_t x, std::int64_t y) const { return levels[static_cast<std::size_t>(y * width + x)]; }
};

// An unsharp mask: each level moves away from the weighted average of the
// 3 x 3 levels around it (1 2 1, 2 4 2, 1 2 1; the edge levels repeated) by
// amount times the difference, rounded to the nearest and clamped to 0-255.
void Sharpen(LevelGrid& grid, double amount);

// Writes the glyphs of the cells into a block of art lines
// (Page::AddBlankLines). Each cell has samples x samples levels of grid, which
// is cols * samples wide and rows * samples high. In order: the sharpening,
// the tone steps (their automatic range from the grid's levels), and each
// cell's glyph: with GlyphSet::Shades, or one sample a side, the shade
// nearest the mean of its samples (ties to the lighter); otherwise the
// glyph the set's ShapeChooser picks against the cells around it (see
// shape_choice.h; ink stands for level 0, paper for a space's 240), which
// fitted art then refines for likeness (likeness_refinement.h). Dithering
// offsets a cell's samples by the error carried to it from the cells before
// (Floyd-Steinberg) or by a 4 x 4 Bayer matrix (ordered). The refinement
// may share its work among up to threads threads; the art is the same
// whatever their number.
void DrawArt(LevelGrid grid, int samples, const ArtOptions& art, char* text, int threads = 1);

} // namespace ezedudu
