#pragma once

#include "ezedudu/glyph_choice.h"
#include "shape_choice.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ezedudu {

// A second look at fitted art whose glyphs were chosen cell by cell: each
// cell in turn (and again where a neighbour changed) may take another glyph
// where that makes the art, as it looks from a little away from the screen,
// more like the picture over the cells around it (likeness_measure.h), so
// edges and textures keep their strength where least squares on each cell
// alone would smooth them away.
// A cell tries the few glyphs nearest its samples among those within two
// shade steps of its own mean level, so the tone holds; where a line runs
// through the cell, only glyphs that show it, and never blank paper over a
// dark stroke its glyph inked nor solid ink over a light one.
// The cells are looked at in stripes of rows in a fixed order, those far
// enough apart side by side on threads, so every platform and any number of
// threads make the same choices.
// What it holds while it works, for each sample of levels: the picture and
// the art as seen (each plain, blurred, and the picture's window means and
// variances), and the sums of its first measure.
inline constexpr std::int64_t LikenessBytesPerSample = 12 * sizeof(double);
// Art of more samples is left as first chosen: its second look would hold
// over 64 MiB and take seconds (about 43,000 cells).
inline constexpr std::int64_t MostLikenessSamples = (std::int64_t(64) << 20) / LikenessBytesPerSample;

// levels holds FittedSamples x FittedSamples samples a cell; cells the index
// in shapes of each cell's glyph, row by row, which it changes in place;
// lines what each cell's glyph must show. Art of enough cells is shared out
// among up to threads threads.
void RefineForLikeness(const LevelGrid& levels, const std::vector<CellShape>& shapes, std::vector<std::size_t>& cells,
                       const std::vector<LineToShow>& lines, int threads);

} // namespace ezedudu
