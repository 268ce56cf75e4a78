#include "shape_choice.h"

#include "ezedudu/decode_scale.h"
#include "ezedudu/glyph_bitmaps.h"
#include "ezedudu/glyph_ramp.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <utility>

namespace ezedudu {
namespace {

// A feature's samples are the bits of a 16-bit mask.
static_assert(FittedSamples * FittedSamples <= 16 && NaturalSamples <= FittedSamples);

constexpr int InkLevel = GlyphBands.front().level;
constexpr int PaperLevel = GlyphBands.back().level;

bool InkAt(InkHalf ink, int x, int y, int samples)
{
    switch (ink) {
    case InkHalf::Upper: return 2 * y < samples;
    case InkHalf::Lower: return 2 * y >= samples;
    case InkHalf::Left: return 2 * x < samples;
    case InkHalf::Right: return 2 * x >= samples;
    }
    return false;
}

// The shapes --glyphs lines adds, drawn from their VGA bitmaps: box-drawing
// lines single and double, corners and crossings, the small square, slashes,
// bars, and punctuation that draws dots, short strokes and arcs. Letters and
// digits are left out: they are hardly ever the nearest shape, and read as
// text where they are. So are the bytes below 32, which text tools take for
// control characters.
constexpr std::uint8_t LineGlyphs[] = {
    196, 179, 218, 191, 192, 217, 195, 180, 194, 193, 197,                  // ─ │ ┌ ┐ └ ┘ ├ ┤ ┬ ┴ ┼
    205, 186, 201, 187, 200, 188, 204, 185, 203, 202, 206,                  // ═ ║ ╔ ╗ ╚ ╝ ╠ ╣ ╦ ╩ ╬
    254, '/', '\\', '_', '|', '-',                                          // ■ / \ _ | -
    '.', ',', ':', '\'', '`', '^', '=', '~', '"', '+', '*', '(', ')', '<', '>', // punctuation
    249, 250, 240, 247,                                                     // ∙ · ≡ ≈
};

// The glyph's bitmap as samples x samples levels: each sample shows the
// share of its pixels the glyph inks, between paper and ink, rounded.
CellShape ShapeOfBitmap(std::uint8_t cp437, int samples)
{
    const GlyphBitmap& bitmap = GlyphBitmapOf(cp437);
    const int width = GlyphBitmapWidth / samples, height = GlyphBitmapHeight / samples;
    const int area = width * height;
    CellShape shape{cp437, {}, 0, true};
    int inked = 0;
    for (int y = 0; y < samples; ++y)
        for (int x = 0; x < samples; ++x) {
            int covered = 0;
            for (int row = y * height; row < (y + 1) * height; ++row)
                for (int column = x * width; column < (x + 1) * width; ++column)
                    covered += bitmap[static_cast<std::size_t>(row)] >> (GlyphBitmapWidth - 1 - column) & 1;
            inked += covered;
            shape.levels.push_back(PaperLevel - ((PaperLevel - InkLevel) * covered + area / 2) / area);
        }
    const int pixels = GlyphBitmapWidth * GlyphBitmapHeight;
    shape.meanLevel = PaperLevel - ((PaperLevel - InkLevel) * inked + pixels / 2) / pixels;
    return shape;
}

// The median of nine levels by a fixed network of 19 exchanges (after
// Paeth), without branches on the data.
int MedianOfNine(std::array<std::uint8_t, 9> p)
{
    const auto order = [&p](int a, int b) {
        const std::uint8_t low = std::min(p[a], p[b]);
        p[b] = std::max(p[a], p[b]);
        p[a] = low;
    };
    order(1, 2), order(4, 5), order(7, 8), order(0, 1), order(3, 4), order(6, 7);
    order(1, 2), order(4, 5), order(7, 8), order(0, 3), order(5, 8), order(4, 7);
    order(3, 6), order(1, 4), order(2, 5), order(4, 7), order(4, 2), order(6, 4);
    order(4, 2);
    return p[4];
}

} // namespace

std::vector<CellShape> CellShapes(GlyphSet glyphs, int samples)
{
    const std::size_t count = static_cast<std::size_t>(samples * samples);
    std::vector<CellShape> shapes;
    for (auto band = GlyphBands.rbegin(); band != GlyphBands.rend(); ++band)
        shapes.push_back({band->cp437, std::vector<int>(count, band->level), band->level, false});
    if (glyphs == GlyphSet::Shades)
        return shapes;
    for (const HalfBlock& half : HalfBlocks) {
        CellShape shape{half.cp437, {}, (InkLevel + PaperLevel) / 2, false};
        for (int y = 0; y < samples; ++y)
            for (int x = 0; x < samples; ++x)
                shape.levels.push_back(InkAt(half.ink, x, y, samples) ? InkLevel : PaperLevel);
        shapes.push_back(std::move(shape));
    }
    if (glyphs == GlyphSet::Lines)
        for (const std::uint8_t cp437 : LineGlyphs)
            shapes.push_back(ShapeOfBitmap(cp437, samples));
    return shapes;
}

ShapeChooser::ShapeChooser(const LevelGrid& levels, int cellSamples, GlyphSet glyphs)
    : grid(levels), samples(cellSamples), cols(levels.width / cellSamples), rows(levels.height / cellSamples),
      shapes(CellShapes(glyphs, cellSamples))
{
    const int count = samples * samples;
    cellMeans.resize(static_cast<std::size_t>(cols * rows));
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t col = 0; col < cols; ++col) {
            int sum = 0;
            for (int y = 0; y < samples; ++y)
                for (int x = 0; x < samples; ++x)
                    sum += grid.At(col * samples + x, row * samples + y);
            cellMeans[static_cast<std::size_t>(row * cols + col)] = std::uint8_t((sum + count / 2) / count);
        }
    featureKinds.resize(cellMeans.size());
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t col = 0; col < cols; ++col)
            featureKinds[static_cast<std::size_t>(row * cols + col)] = FindFeature(col, row).kind;
}

bool LineToShow::ShownBy(const CellShape& shape) const
{
    if (samples == 0)
        return true;
    for (std::size_t i = 0; i < shape.levels.size(); ++i)
        if (samples >> i & 1 && (shape.levels[i] > darkest || shape.levels[i] < lightest))
            return false;
    return true;
}

const CellShape* ShapeChooser::Nearest(const std::vector<int>& wanted, const LineToShow& line) const
{
    const CellShape* best = nullptr;
    std::int64_t bestError = std::numeric_limits<std::int64_t>::max();
    for (const CellShape& shape : shapes) {
        if (!line.ShownBy(shape))
            continue;
        std::int64_t error = 0;
        for (std::size_t i = 0; i < wanted.size(); ++i) {
            const std::int64_t difference = wanted[i] - shape.levels[i];
            error += difference * difference;
        }
        if (shape.lineShape)
            error += error / 2;
        if (error < bestError) {
            bestError = error;
            best = &shape;
        }
    }
    return best;
}

// The ground is even where this many of the nine cells around lie within
// this many levels of their median, flat where they lie closer still.
constexpr struct Ground {
    int cells;
    int levels;
} EvenGround{5, 16}, FlatGround{6, 4};

// The ground: the median of the mean levels of the 3 x 3 cells around, those
// on the picture's edge standing for the ones beyond it.
ShapeChooser::Feature ShapeChooser::FindFeature(std::int64_t col, std::int64_t row) const
{
    std::array<std::uint8_t, 9> around{};
    std::size_t next = 0;
    for (std::int64_t dy = -1; dy <= 1; ++dy)
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            const std::int64_t x = std::clamp<std::int64_t>(col + dx, 0, cols - 1);
            const std::int64_t y = std::clamp<std::int64_t>(row + dy, 0, rows - 1);
            around[next++] = cellMeans[static_cast<std::size_t>(y * cols + x)];
        }
    const int ground = MedianOfNine(around);
    // A feature needs an even ground: in a texture, keeping every stroke
    // costs more tone than it shows.
    // On a flat ground, as in drawings, a fainter feature shows.
    int even = 0, flat = 0;
    for (const std::uint8_t mean : around) {
        even += std::abs(int(mean) - ground) <= EvenGround.levels;
        flat += std::abs(int(mean) - ground) <= FlatGround.levels;
    }
    if (even < EvenGround.cells)
        return {};
    const int needed = flat >= FlatGround.cells ? FaintFeatureContrast : FeatureContrast;
    int darkest = 255, lightest = 0;
    for (int y = 0; y < samples; ++y)
        for (int x = 0; x < samples; ++x) {
            const int level = grid.At(col * samples + x, row * samples + y);
            darkest = std::min(darkest, level);
            lightest = std::max(lightest, level);
        }
    const bool dark = ground - darkest >= lightest - ground;
    const int contrast = dark ? ground - darkest : lightest - ground;
    Feature found;
    if (contrast < needed)
        return found;
    // The feature: the samples that stand out by at least half the contrast.
    // The rest of the cell must lie near the ground, or the cell holds no
    // feature on a ground but two regions.
    int featureSamples = 0, restSum = 0;
    for (int y = 0; y < samples; ++y)
        for (int x = 0; x < samples; ++x) {
            const int level = grid.At(col * samples + x, row * samples + y);
            const bool standsOut = 2 * (dark ? ground - level : level - ground) >= contrast;
            found.samples = std::uint16_t(found.samples | (standsOut ? 1u << (y * samples + x) : 0u));
            featureSamples += standsOut;
            restSum += standsOut ? 0 : level;
        }
    const int restSamples = samples * samples - featureSamples;
    if (restSamples < featureSamples || 2 * std::abs(restSum - ground * restSamples) >= contrast * restSamples)
        return {};
    found.kind = dark ? Feature::Kind::Dark : Feature::Kind::Light;
    found.ground = ground;
    found.contrast = contrast;
    return found;
}

// A line enters and leaves a cell through its neighbours: two to four of the
// eight hold a feature of the same kind (past the picture's edge, the cells
// on the edge count again, so that a line runs on out of the picture). A lone
// speck has none, a texture more; neither is kept at the cost of the cell's
// tone.
constexpr std::pair<int, int> LineNeighbours{2, 4};

int ShapeChooser::LikeNeighbours(std::int64_t col, std::int64_t row, Feature::Kind kind) const
{
    int like = 0;
    for (std::int64_t dy = -1; dy <= 1; ++dy)
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            const std::int64_t x = std::clamp<std::int64_t>(col + dx, 0, cols - 1);
            const std::int64_t y = std::clamp<std::int64_t>(row + dy, 0, rows - 1);
            like += (dx || dy) && featureKinds[static_cast<std::size_t>(y * cols + x)] == kind;
        }
    return like;
}

ShapeChooser::Choice ShapeChooser::Choose(std::int64_t col, std::int64_t row, const std::vector<int>& wanted) const
{
    const Feature::Kind kind = featureKinds[static_cast<std::size_t>(row * cols + col)];
    const int like = kind == Feature::Kind::None ? 0 : LikeNeighbours(col, row, kind);
    LineToShow line;
    if (like >= LineNeighbours.first && like <= LineNeighbours.second) {
        const Feature feature = FindFeature(col, row);
        const bool dark = feature.kind == Feature::Kind::Dark;
        // The glyph shows the feature with half its contrast or more against
        // the shade the ground takes.
        const int groundShown = NearestShade(feature.ground).level;
        line = {feature.samples, dark ? std::max(0, groundShown - feature.contrast / 2) : PaperLevel,
                dark ? InkLevel : std::min(PaperLevel, groundShown + feature.contrast / 2)};
    }
    const CellShape* chosen = Nearest(wanted, line);
    if (!chosen) {
        // No glyph shows the line: the nearest of all.
        line = {};
        chosen = Nearest(wanted, line);
    }
    return {static_cast<std::size_t>(chosen - shapes.data()), chosen->meanLevel, line};
}

} // namespace ezedudu
