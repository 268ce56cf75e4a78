#pragma once

#include "ezedudu/convert.h"
#include "ezedudu/glyph_choice.h"

#include <cstdint>
#include <vector>

namespace ezedudu {

// A glyph as a cell's samples see it: the level each sample shows (ink 0,
// paper a space's 240, a shade its flat level) and the cell's mean level.
struct CellShape {
    std::uint8_t cp437;
    std::vector<int> levels; // samples x samples, row by row
    int meanLevel;
    // A shape of --glyphs lines: its squared error counts half again, so
    // that it is chosen only where it fits clearly better than the blocks;
    // on photos' textures it otherwise costs tone.
    bool lineShape;
};

// The glyphs a set offers, as cells of samples x samples: the shades
// (lightest first), then the set's shapes.
std::vector<CellShape> CellShapes(GlyphSet glyphs, int samples);

// What a cell's glyph must show where a line runs through it: on the
// line's samples, a level no lighter than darkest and no darker than
// lightest. By default nothing: any level is between 0 and 255.
struct LineToShow {
    std::uint16_t samples = 0; // bit i: sample i
    int darkest = 255;
    int lightest = 0;

    bool ShownBy(const CellShape& shape) const;
};

// Chooses each cell's glyph by how the art looks beside its neighbours, not
// by the cell's mean alone. A cell is measured against its ground, the median
// of the mean levels of the 3 x 3 cells around it; the ground is even where
// most of those lie near it. Where part of the cell, at most half of it,
// stands out from an even ground by FeatureContrast or more (on a flat
// ground FaintFeatureContrast) while the rest lies near it, that part is a
// feature (a thin line, a stroke of a letter). Where two to four neighbours hold a feature of the same kind,
// darker or lighter, the feature runs on as a line does, and the glyph must
// show it with at least half its contrast against the ground's own shade, so
// that the line survives as ink (or paper) in every cell it crosses. Among
// the glyphs that do, and elsewhere among all, the cell takes the one whose
// samples lie nearest its own (least squares, line shapes' errors weighted
// half again, ties to the earlier shape).
// Integers only, so every platform makes the same choice.
class ShapeChooser {
public:
    // levels holds the picture as the cells see it, before any dithering;
    // cellSamples is 2 or 4.
    ShapeChooser(const LevelGrid& levels, int cellSamples, GlyphSet glyphs);

    struct Choice {
        std::size_t shape; // in Shapes()
        int level;       // the mean level the glyph shows
        LineToShow line; // what any glyph of the cell must show
    };

    // The glyph of the cell at col, row; wanted holds its samples (dithering
    // included), row by row.
    Choice Choose(std::int64_t col, std::int64_t row, const std::vector<int>& wanted) const;

    const std::vector<CellShape>& Shapes() const { return shapes; }

    static constexpr int FeatureContrast = 64;
    static constexpr int FaintFeatureContrast = 24; // on a flat ground

private:
    struct Feature {
        enum class Kind : std::uint8_t { None, Dark, Light } kind = Kind::None;
        int ground = 0;
        int contrast = 0;
        std::uint16_t samples = 0; // bit i: sample i stands out
    };

    Feature FindFeature(std::int64_t col, std::int64_t row) const;
    int LikeNeighbours(std::int64_t col, std::int64_t row, Feature::Kind kind) const;
    // The shape nearest wanted that shows the line; none if none does.
    const CellShape* Nearest(const std::vector<int>& wanted, const LineToShow& line) const;

    const LevelGrid& grid;
    int samples;
    std::int64_t cols;
    std::int64_t rows;
    std::vector<std::uint8_t> cellMeans;
    std::vector<Feature::Kind> featureKinds;
    std::vector<CellShape> shapes;
};

} // namespace ezedudu
