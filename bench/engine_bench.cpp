#include "ezedudu/convert.h"

#include "memory_picture.h"

#include <benchmark/benchmark.h>

namespace ezedudu {
namespace {

// Converts a noisy picture; items are picture pixels, so the rate reads as
// pixels per second.
void ConvertNoisyPicture(benchmark::State& state)
{
    const std::int64_t width = state.range(0);
    const std::int64_t height = state.range(1);
    MemoryPicture picture(width, height);
    picture.Scramble(42);
    const Canvas canvas = picture.View();
    for (auto _ : state) {
        auto nfo = ConvertPicture(canvas);
        benchmark::DoNotOptimize(nfo);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

BENCHMARK(ConvertNoisyPicture)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Args({4000, 3000})
    ->Args({16000, 300})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ezedudu
