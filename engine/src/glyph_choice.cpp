#include "ezedudu/glyph_choice.h"

#include "ezedudu/decode_scale.h"
#include "ezedudu/glyph_ramp.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/tone.h"
#include "likeness_refinement.h"
#include "shape_choice.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace ezedudu {
namespace {

constexpr double GlyphStep = GlyphBands[1].level - GlyphBands[0].level;

struct Choice {
    std::uint8_t cp437;
    double level; // the mean level the glyph shows
};

// wanted holds a cell's samples x samples levels, row by row.
Choice NearestShadeOf(const std::vector<double>& wanted)
{
    double mean = 0;
    for (const double level : wanted)
        mean += level;
    mean /= double(wanted.size());
    const GlyphBand& shade = NearestShade(mean);
    return {shade.cp437, double(shade.level)};
}

void ApplyTone(LevelGrid& grid, const ToneOptions& tone)
{
    if (tone.ChangesNothing())
        return;
    LevelHistogram histogram{};
    for (const std::uint8_t level : grid.levels)
        ++histogram[level];
    const LevelTable table = ToneTable(tone, histogram);
    for (std::uint8_t& level : grid.levels)
        level = table[level];
}

} // namespace

void Sharpen(LevelGrid& grid, double amount)
{
    if (amount == 0 || grid.levels.empty())
        return;
    const LevelGrid original = grid;
    const auto at = [&](std::int64_t x, std::int64_t y) {
        return int(original.At(std::clamp<std::int64_t>(x, 0, grid.width - 1),
                               std::clamp<std::int64_t>(y, 0, grid.height - 1)));
    };
    static constexpr int Weights[3] = {1, 2, 1};
    for (std::int64_t y = 0; y < grid.height; ++y)
        for (std::int64_t x = 0; x < grid.width; ++x) {
            int around = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    around += Weights[dy + 1] * Weights[dx + 1] * at(x + dx, y + dy);
            const double level = at(x, y);
            const double sharpened = level + amount * (level - around / 16.0);
            grid.At(x, y) = static_cast<std::uint8_t>(std::clamp(std::floor(sharpened + 0.5), 0.0, 255.0));
        }
}

void DrawArt(LevelGrid grid, int samples, const ArtOptions& art, char* text, int threads)
{
    static constexpr int Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Sharpen(grid, art.sharpen);
    ApplyTone(grid, art.tone);
    const std::int64_t cols = grid.width / samples;
    const std::int64_t rows = grid.height / samples;
    const std::optional<ShapeChooser> shapes =
        art.glyphs != GlyphSet::Shades && samples > 1
            ? std::optional<ShapeChooser>(std::in_place, grid, samples, art.glyphs)
            : std::nullopt;
    std::vector<int> rounded(static_cast<std::size_t>(samples * samples));
    // Floyd-Steinberg's errors carried to this row and the next, one spare
    // cell at each end.
    std::vector<double> here(static_cast<std::size_t>(cols + 2)), below(here.size());
    std::vector<double> wanted(static_cast<std::size_t>(samples * samples));
    // Each cell's shape, and the line it must show, for a second look.
    std::vector<std::size_t> shapesChosen;
    std::vector<LineToShow> linesToShow;
    for (std::int64_t row = 0; row < rows; ++row) {
        char* line = text + NfoLineStart(cols, row);
        for (std::int64_t col = 0; col < cols; ++col) {
            double offset = 0;
            if (art.dither == Dither::FloydSteinberg)
                offset = here[static_cast<std::size_t>(col + 1)];
            else if (art.dither == Dither::Ordered)
                offset = ((Bayer[row % 4][col % 4] + 0.5) / 16 - 0.5) * GlyphStep;
            for (int y = 0; y < samples; ++y)
                for (int x = 0; x < samples; ++x)
                    wanted[static_cast<std::size_t>(y * samples + x)] =
                        grid.At(col * samples + x, row * samples + y) + offset;
            Choice glyph = NearestShadeOf(wanted);
            if (shapes) {
                for (std::size_t i = 0; i < wanted.size(); ++i)
                    rounded[i] = int(std::floor(wanted[i] + 0.5));
                const ShapeChooser::Choice shape = shapes->Choose(col, row, rounded);
                glyph = {shapes->Shapes()[shape.shape].cp437, double(shape.level)};
                shapesChosen.push_back(shape.shape);
                linesToShow.push_back(shape.line);
            }
            line[col] = static_cast<char>(glyph.cp437);
            if (art.dither != Dither::FloydSteinberg)
                continue;
            double mean = 0;
            for (const double level : wanted)
                mean += level;
            const double error = mean / double(wanted.size()) - glyph.level;
            here[static_cast<std::size_t>(col + 2)] += error * 7 / 16;
            below[static_cast<std::size_t>(col)] += error * 3 / 16;
            below[static_cast<std::size_t>(col + 1)] += error * 5 / 16;
            below[static_cast<std::size_t>(col + 2)] += error * 1 / 16;
        }
        here.swap(below);
        std::fill(below.begin(), below.end(), 0.0);
    }
    // Dithering's pattern is the user's choice: the second look, which
    // measures the picture undithered, would smooth it away.
    if (!shapes || samples != FittedSamples || art.dither != Dither::None ||
        std::int64_t(grid.levels.size()) > MostLikenessSamples)
        return;
    RefineForLikeness(grid, shapes->Shapes(), shapesChosen, linesToShow, threads);
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t col = 0; col < cols; ++col)
            text[NfoLineStart(cols, row) + col] =
                static_cast<char>(shapes->Shapes()[shapesChosen[static_cast<std::size_t>(row * cols + col)]].cp437);
}

} // namespace ezedudu
