#include "ezedudu/glyph_choice.h"

#include "ezedudu/glyph_ramp.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/tone.h"

#include <algorithm>
#include <cmath>

namespace ezedudu {
namespace {

constexpr double GlyphStep = GlyphBands[1].level - GlyphBands[0].level;
constexpr double InkLevel = GlyphBands.front().level;
constexpr double PaperLevel = GlyphBands.back().level;

// The shade whose level is nearest, ties to the lighter.
const GlyphBand& NearestShade(double level)
{
    const auto index = std::clamp<long>(std::lround(std::floor((level - GlyphBands[0].level) / GlyphStep + 0.5)), 0,
                                        long(GlyphBands.size()) - 1);
    return GlyphBands[static_cast<std::size_t>(index)];
}

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

struct Choice {
    std::uint8_t cp437;
    double level; // the mean level the glyph shows
};

// wanted holds a cell's samples x samples levels, row by row.
Choice ChooseGlyph(const std::vector<double>& wanted, int samples, bool halves)
{
    double mean = 0;
    for (const double level : wanted)
        mean += level;
    mean /= double(wanted.size());
    const GlyphBand& shade = NearestShade(mean);
    Choice best{shade.cp437, double(shade.level)};
    if (!halves)
        return best;
    double bestError = 0;
    for (const double level : wanted)
        bestError += (level - shade.level) * (level - shade.level);
    for (const HalfBlock& half : HalfBlocks) {
        double error = 0;
        for (int y = 0; y < samples; ++y)
            for (int x = 0; x < samples; ++x) {
                const double shown = InkAt(half.ink, x, y, samples) ? InkLevel : PaperLevel;
                const double level = wanted[static_cast<std::size_t>(y * samples + x)];
                error += (level - shown) * (level - shown);
            }
        if (error < bestError) {
            bestError = error;
            best = {half.cp437, (InkLevel + PaperLevel) / 2};
        }
    }
    return best;
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

void DrawArt(LevelGrid grid, int samples, const ArtOptions& art, char* text)
{
    static constexpr int Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Sharpen(grid, art.sharpen);
    ApplyTone(grid, art.tone);
    const std::int64_t cols = grid.width / samples;
    const std::int64_t rows = grid.height / samples;
    const bool halves = art.glyphs == GlyphSet::Blocks && samples > 1;
    // Floyd-Steinberg's errors carried to this row and the next, one spare
    // cell at each end.
    std::vector<double> here(static_cast<std::size_t>(cols + 2)), below(here.size());
    std::vector<double> wanted(static_cast<std::size_t>(samples * samples));
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
            const Choice glyph = ChooseGlyph(wanted, samples, halves);
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
}

} // namespace ezedudu
