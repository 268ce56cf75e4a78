#include "ezedudu/dither.h"

#include "ezedudu/glyph_ramp.h"
#include "ezedudu/nfo_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ezedudu {
namespace {

constexpr double GlyphStep = GlyphBands[1].level - GlyphBands[0].level;

// The band whose glyph level is nearest, ties to the lighter.
const GlyphBand& NearestGlyph(double level)
{
    const auto index = std::clamp<long>(std::lround(std::floor((level - GlyphBands[0].level) / GlyphStep + 0.5)), 0,
                                        long(GlyphBands.size()) - 1);
    return GlyphBands[static_cast<std::size_t>(index)];
}

std::uint8_t Level(const char* cell)
{
    return static_cast<std::uint8_t>(*cell);
}

void FloydSteinberg(char* text, std::int64_t cols, std::int64_t rows)
{
    // Errors carried to this row and the next, one spare cell at each end.
    std::vector<double> here(static_cast<std::size_t>(cols + 2)), below(here.size());
    for (std::int64_t row = 0; row < rows; ++row) {
        char* line = text + NfoLineStart(cols, row);
        for (std::int64_t col = 0; col < cols; ++col) {
            const double wanted = Level(&line[col]) + here[col + 1];
            const GlyphBand& glyph = NearestGlyph(wanted);
            line[col] = static_cast<char>(glyph.cp437);
            const double error = wanted - glyph.level;
            here[col + 2] += error * 7 / 16;
            below[col] += error * 3 / 16;
            below[col + 1] += error * 5 / 16;
            below[col + 2] += error * 1 / 16;
        }
        here.swap(below);
        std::fill(below.begin(), below.end(), 0.0);
    }
}

void Ordered(char* text, std::int64_t cols, std::int64_t rows)
{
    static constexpr int Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (std::int64_t row = 0; row < rows; ++row) {
        char* line = text + NfoLineStart(cols, row);
        for (std::int64_t col = 0; col < cols; ++col) {
            const double offset = ((Bayer[row % 4][col % 4] + 0.5) / 16 - 0.5) * GlyphStep;
            line[col] = static_cast<char>(NearestGlyph(Level(&line[col]) + offset).cp437);
        }
    }
}

} // namespace

void DrawGlyphs(char* text, std::int64_t cols, std::int64_t rows, Dither dither)
{
    switch (dither) {
    case Dither::FloydSteinberg: FloydSteinberg(text, cols, rows); return;
    case Dither::Ordered: Ordered(text, cols, rows); return;
    case Dither::None: break;
    }
    const auto& glyphs = GlyphTable();
    for (std::int64_t row = 0; row < rows; ++row) {
        char* line = text + NfoLineStart(cols, row);
        for (std::int64_t col = 0; col < cols; ++col)
            line[col] = static_cast<char>(glyphs[Level(&line[col])]);
    }
}

} // namespace ezedudu
