#include "ezedudu/art_conversion.h"
#include "ezedudu/canvas.h"

#include "memory_picture.h"

#include <benchmark/benchmark.h>

#include <utility>

namespace ezedudu {
namespace {

// Converts a noisy picture at its natural size with the glyph set of the
// third argument (0 shades, 1 blocks, 2 lines), the way every program
// converts; items are picture pixels, so the rate reads as pixels per second.
void ConvertNoisyPicture(benchmark::State& state)
{
    const std::int64_t width = state.range(0);
    const std::int64_t height = state.range(1);
    MemoryPicture picture(width, height);
    picture.Scramble(42);
    const CanvasRows rows(picture.View());
    ConversionOptions options;
    options.art.glyphs = GlyphSet(state.range(2));
    for (auto _ : state) {
        auto nfo = ConvertArt(rows, options);
        benchmark::DoNotOptimize(nfo);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void PictureSizesAndGlyphSets(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgNames({"width", "height", "glyphs"});
    for (const auto& [width, height] : {std::pair{640, 480}, {1920, 1080}, {4000, 3000}, {16000, 300}})
        benchmark->Args({width, height, std::int64_t(GlyphSet::Shades)});
    // Half blocks at the natural size hold every cell's samples: the larger
    // pictures are refused without --columns.
    for (const auto& [width, height] : {std::pair{640, 480}, {1920, 1080}})
        for (const GlyphSet glyphs : {GlyphSet::Blocks, GlyphSet::Lines})
            benchmark->Args({width, height, std::int64_t(glyphs)});
}

BENCHMARK(ConvertNoisyPicture)->Apply(PictureSizesAndGlyphSets)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ezedudu
