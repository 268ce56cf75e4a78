#include "ezedudu/art_size.h"
#include "ezedudu/convert.h"
#include "ezedudu/decode_scale.h"
#include "ezedudu/glyph_choice.h"
#include "ezedudu/glyph_ramp.h"
#include "ezedudu/nfo_text.h"

#include "memory_picture.h"
#include "reference_nfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace ezedudu {
namespace {

TEST(FitArt, KeepsThePictureProportionsInTheViewersCells)
{
    const struct {
        std::int64_t width, height;
        std::optional<std::int64_t> columns, rows;
        double aspect;
        std::int64_t wantColumns, wantRows;
    } cases[] = {
        {640, 480, 79, {}, 2.0, 79, 30},     // 79 * 480 / 1280 = 29.6
        {640, 480, 79, {}, 1.5, 79, 40},     // 39.5 rounds up
        {100, 1000, {}, 10, 2.0, 2, 10},     // 10 * 100 * 2 / 1000
        {640, 480, 79, 20, 2.0, 53, 20},     // 30 rows would not fit: 20 * 1280 / 480 = 53.3
        {640, 480, 40, 100, 2.0, 40, 15},    // fits by columns
        {4000, 10, 10, {}, 2.0, 10, 1},      // never fewer than one row
        {10, 4000, {}, 5, 2.0, 1, 5},        // nor column
    };
    for (const auto& c : cases) {
        const ArtSize size = FitArt(c.width, c.height, c.columns, c.rows, c.aspect);
        EXPECT_EQ(size.columns, c.wantColumns) << c.width << " x " << c.height;
        EXPECT_EQ(size.rows, c.wantRows) << c.width << " x " << c.height;
    }
}

TEST(ToneTable, AppliesEachStepInOrderRoundingDownAndClamping)
{
    LevelHistogram twoLevels{};
    twoLevels[50] = 100;
    twoLevels[150] = 100;
    const struct {
        const char* name;
        ToneOptions tone;
        int level, want;
    } cases[] = {
        {"nothing", {}, 128, 128},
        {"contrast 50", {.contrast = 50}, 100, 86},
        {"contrast 50, dark end", {.contrast = 50}, 0, 0},
        {"contrast -100", {.contrast = -100}, 17, 128},
        {"brightness 30", {.brightness = 30}, 10, 40},
        {"brightness 30, clamped", {.brightness = 30}, 250, 255},
        {"brightness -30, clamped", {.brightness = -30}, 10, 0},
        {"gamma 2", {.gamma = 2.0}, 64, 127},
        {"invert", {.invert = true}, 10, 245},
        {"contrast, then brightness, then invert", {.contrast = 100, .brightness = 50, .invert = true}, 100, 133},
        {"levels auto, middle", {.levelsAuto = true}, 100, 127},
        {"levels auto, low end", {.levelsAuto = true}, 40, 0},
        {"levels auto, high end", {.levelsAuto = true}, 150, 255},
        {"levels auto, then contrast", {.levelsAuto = true, .contrast = 50}, 100, 126}, // 126.5
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToneTable(c.tone, twoLevels)[c.level], c.want) << c.name;
}

// The mean glyph level of a frame of uniform grey after drawing its glyphs.
double MeanGlyphLevel(std::uint8_t grey, Dither dither)
{
    const std::int64_t cols = 64, rows = 48;
    Page page;
    char* const frame = page.AddBlankLines(cols, rows).origin;
    ArtOptions art;
    art.dither = dither;
    DrawArt({cols, rows, std::vector<std::uint8_t>(std::size_t(cols * rows), grey)}, 1, art, frame);
    double sum = 0;
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t col = 0; col < cols; ++col)
            sum += GlyphBandOf(static_cast<std::uint8_t>(frame[NfoLineStart(cols, row) + col]))->level;
    return sum / double(cols * rows);
}

TEST(DrawArt, DitheringKeepsTheMeanLevelOfAUniformGrey)
{
    for (const Dither dither : {Dither::FloydSteinberg, Dither::Ordered})
        for (const std::uint8_t grey : std::array<std::uint8_t, 4>{45, 100, 150, 200})
            EXPECT_NEAR(MeanGlyphLevel(grey, dither), grey, 3.0) << int(dither) << ", grey " << int(grey);
    // Without dithering, every cell takes its band's glyph.
    EXPECT_EQ(MeanGlyphLevel(100, Dither::None), 120.0);
}

// Each cell of 2 x 2 samples (top left, top right, bottom left, bottom
// right) takes the glyph whose ink pattern lies nearest.
TEST(DrawArt, ChoosesTheGlyphWhosePatternFitsTheCell)
{
    const struct {
        std::array<std::uint8_t, 4> samples;
        GlyphSet glyphs;
        std::uint8_t glyph;
    } cases[] = {
        {{0, 0, 0, 0}, GlyphSet::Blocks, 219},         {{60, 60, 60, 60}, GlyphSet::Blocks, 178},
        {{120, 120, 120, 120}, GlyphSet::Blocks, 177}, {{180, 180, 180, 180}, GlyphSet::Blocks, 176},
        {{255, 255, 255, 255}, GlyphSet::Blocks, ' '}, {{30, 30, 30, 30}, GlyphSet::Blocks, 178}, // ties to the lighter
        {{0, 0, 255, 255}, GlyphSet::Blocks, 223},     {{255, 255, 0, 0}, GlyphSet::Blocks, 220},
        {{0, 255, 0, 255}, GlyphSet::Blocks, 221},     {{255, 0, 255, 0}, GlyphSet::Blocks, 222},
        {{40, 60, 200, 230}, GlyphSet::Blocks, 223},   {{0, 255, 255, 0}, GlyphSet::Blocks, 177}, // no half fits
        {{0, 0, 255, 255}, GlyphSet::Shades, 177},
    };
    for (const auto& c : cases) {
        Page page;
        char* const frame = page.AddBlankLines(1, 1).origin;
        const std::vector<std::uint8_t> grid{c.samples[0], c.samples[1], c.samples[2], c.samples[3]};
        ArtOptions art;
        art.glyphs = c.glyphs;
        DrawArt({2, 2, grid}, 2, art, frame);
        EXPECT_EQ(std::uint8_t(frame[0]), c.glyph) << int(c.samples[0]) << " " << int(c.samples[1]) << " "
                                                   << int(c.samples[2]) << " " << int(c.samples[3]);
    }
}

// A line a quarter of a cell wide shifts its cells' means by less than a
// shade's step, yet it must come out in every cell it crosses, on the side
// of the cell it runs through, while the ground around keeps its shade.
// Pictures of 6 x 5 cells of 4 x 4 samples.
TEST(DrawArt, KeepsAThinLineInEveryCellItCrossesAndTheGroundsShade)
{
    const struct {
        const char* name;
        std::uint8_t ground, line;
        bool across; // a row of samples, or else a column
        int at;      // which one
        std::uint8_t groundGlyph, lineGlyph;
    } cases[] = {
        {"dark, down light grey", 200, 0, false, 8, 176, 221},   // left quarter of the third column
        {"dark, along white", 255, 0, true, 5, ' ', 223},        // upper quarter of the second row
        {"dark, down mid grey", 128, 0, false, 11, 177, 222},    // right quarter
        {"light, along black", 0, 255, true, 14, 219, 223},      // lower quarter: ink above, paper below
        {"faint, down flat mid grey", 128, 96, false, 8, 177, 178}, // darker by a shade's step, not ink
    };
    const std::int64_t cols = 6, rows = 5, samples = 4;
    for (const auto& c : cases) {
        LevelGrid grid{cols * samples, rows * samples, std::vector<std::uint8_t>(std::size_t(cols * rows * 16), c.ground)};
        for (std::int64_t i = 0; i < (c.across ? grid.width : grid.height); ++i)
            (c.across ? grid.At(i, c.at) : grid.At(c.at, i)) = c.line;
        ArtOptions art;
        art.glyphs = GlyphSet::Blocks;
        Page page;
        const CellBlock cells = page.AddBlankLines(cols, rows);
        DrawArt(grid, samples, art, cells.origin);
        for (std::int64_t row = 0; row < rows; ++row)
            for (std::int64_t col = 0; col < cols; ++col) {
                const bool crossed = (c.across ? row : col) == c.at / samples;
                EXPECT_EQ(std::uint8_t(cells.Line(row)[col]), crossed ? c.lineGlyph : c.groundGlyph)
                    << c.name << ", cell " << col << ", " << row;
            }
    }
}

// The grid drawn as fitted art of half blocks, a cell to every 4 x 4 samples.
Page FittedBlockArt(const LevelGrid& grid)
{
    ArtOptions art;
    art.glyphs = GlyphSet::Blocks;
    Page page;
    DrawArt(grid, FittedSamples, art,
            page.AddBlankLines(grid.width / FittedSamples, grid.height / FittedSamples).origin);
    return page;
}

// Fitted art's second look weighs structure as well as tone, and SSIM
// forgives a lighter shade over near-black: a faint texture must still keep
// its tone, within half a shade's step.
TEST(DrawArt, KeepsTheToneOfAFaintTextureInFittedArt)
{
    const std::int64_t cols = 20, rows = 12, samples = 4;
    for (const int grey : {8, 60, 120, 180, 247}) {
        LevelGrid grid{cols * samples, rows * samples, {}};
        std::uint32_t state = 99;
        for (std::int64_t i = 0; i < grid.width * grid.height; ++i) {
            state = state * 1103515245u + 12345u;
            grid.levels.push_back(std::uint8_t(std::clamp(grey + int(state >> 28) - 8, 0, 255)));
        }
        const Page page = FittedBlockArt(grid);
        double sum = 0;
        for (std::int64_t row = 0; row < rows; ++row)
            for (const char glyph : page.Line(row)) {
                const GlyphBand* shade = GlyphBandOf(std::uint8_t(glyph));
                sum += shade ? shade->level : 120; // a half block
            }
        EXPECT_NEAR(sum / double(cols * rows), std::min(grey, 240), 30) << "grey " << grey;
    }
}

// Small print, lines of text half a cell high between blank lines, is too
// light for a half block's tone; its lines must still come out as the
// upper halves of its cells, not as a flat light shade.
TEST(DrawArt, DrawsLinesOfSmallPrintAsHalfBlocks)
{
    const std::int64_t cols = 24, rows = 8, samples = 4;
    LevelGrid grid{cols * samples, rows * samples, {}};
    std::uint32_t state = 7;
    for (std::int64_t y = 0; y < grid.height; ++y)
        for (std::int64_t x = 0; x < grid.width; ++x) {
            state = state * 1103515245u + 12345u;
            const bool printed = y % samples < samples / 2 && state >> 31 != 0; // ink on half the samples
            grid.levels.push_back(printed ? 0 : 255);
        }
    const Page page = FittedBlockArt(grid);
    std::int64_t upperHalves = 0;
    for (std::int64_t row = 0; row < rows; ++row)
        upperHalves += std::count(page.Line(row).begin(), page.Line(row).end(), '\xDF');
    EXPECT_GE(upperHalves, cols * rows * 3 / 4);
}

// Art of noise crossed by thin lines, at both sampling resolutions: each
// set writes only its own glyphs, lines some beyond the blocks, and the same
// bytes on every run, on one thread or on four.
TEST(DrawArt, WritesOnlyTheSetsGlyphsAndTheSameBytesOnAnyThreads)
{
    const std::string blocks = "\xDB\xB2\xB1\xB0 \xDC\xDD\xDE\xDF";
    const std::string lines = blocks + "\xC4\xB3\xDA\xBF\xC0\xD9\xC3\xB4\xC2\xC1\xC5" // ─ │ ┌ ┐ └ ┘ ├ ┤ ┬ ┴ ┼
                                       "\xCD\xBA\xC9\xBB\xC8\xBC\xCC\xB9\xCB\xCA\xCE" // ═ ║ ╔ ╗ ╚ ╝ ╠ ╣ ╦ ╩ ╬
                                       "\xFE/\\_|-"                                          // ■ / \ _ | -
                                       ".,:'`^=~\"+*()<>\xF9\xFA\xF0\xF7";                   // ... ∙ · ≡ ≈
    const std::int64_t cols = 40, rows = 30;
    for (const int samples : {2, 4})
        for (const auto& [glyphs, allowed] : {std::pair{GlyphSet::Blocks, blocks}, std::pair{GlyphSet::Lines, lines}}) {
            LevelGrid grid{cols * samples, rows * samples, {}};
            std::uint32_t state = 12345;
            for (std::int64_t i = 0; i < grid.width * grid.height; ++i) {
                state = state * 1103515245u + 12345u;
                const std::int64_t x = i % grid.width, y = i / grid.width;
                const bool onLine = x == y / 2 || x == grid.width - 1 - y || y == grid.height / 3;
                grid.levels.push_back(onLine ? 0 : std::uint8_t(y < grid.height / 2 ? 160 + (state >> 27) : state >> 24));
            }
            ArtOptions art;
            art.glyphs = glyphs;
            Page first, second;
            const CellBlock cells = first.AddBlankLines(cols, rows);
            DrawArt(grid, samples, art, cells.origin, 1);
            DrawArt(grid, samples, art, second.AddBlankLines(cols, rows).origin, 4);
            EXPECT_EQ(first.Cp437(), second.Cp437());
            bool beyondBlocks = false;
            for (std::int64_t row = 0; row < rows; ++row)
                for (std::int64_t col = 0; col < cols; ++col) {
                    const char glyph = cells.Line(row)[col];
                    EXPECT_NE(allowed.find(glyph), std::string::npos) << int(std::uint8_t(glyph));
                    beyondBlocks |= blocks.find(glyph) == std::string::npos;
                }
            EXPECT_EQ(beyondBlocks, glyphs == GlyphSet::Lines) << samples << " samples";
        }
}

TEST(Sharpen, LeavesFlatAreasAndSteepensEdges)
{
    LevelGrid flat{3, 3, std::vector<std::uint8_t>(9, 100)};
    Sharpen(flat, 2.0);
    EXPECT_EQ(flat.levels, std::vector<std::uint8_t>(9, 100));
    // A step from 100 to 200 between the second and third column: the 3 x 3
    // averages are 125 and 175, so the sides move 2 x 25 apart.
    LevelGrid edge{4, 1, {100, 100, 200, 200}};
    Sharpen(edge, 2.0);
    EXPECT_EQ(edge.levels, (std::vector<std::uint8_t>{100, 50, 250, 200}));
}

TEST(ConvertRows, DrawsTheArtThroughToneAndDither)
{
    const MemoryPicture black(7, 7, Grey(0));
    const std::string closing = "\r\n" + std::string(ClosingLine) + "\r\n";
    const struct {
        const char* name;
        ArtOptions art;
        std::string lines;
    } cases[] = {
        {"inverted", {.tone = {.invert = true}}, "   \r\n   \r\n"},
        {"brightened by 100, dithered", {.tone = {.brightness = 100}, .dither = Dither::Ordered},
         "\xB2\xB1\xB2\r\n\xB1\xB2\xB1\r\n"},
        {"levels auto on a single level", {.tone = {.levelsAuto = true}}, "\xDB\xDB\xDB\r\n\xDB\xDB\xDB\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NfoOf(ConvertPicture(black.View(), nullptr, c.art)), c.lines + closing) << c.name;
}

} // namespace
} // namespace ezedudu
