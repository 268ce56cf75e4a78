// The studio's live renderer: how long a change of the controls takes to
// reach the screen (convert plus preview) for a 640 x 480 picture at 79
// columns, and an 8000 x 6000 picture at its natural size with the progress
// reports the window gets meanwhile.
#include "live_renderer.h"

#include "ezedudu/picture_loader.h"

#include <QEventLoop>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

#include <chrono>

namespace ezedudu {
namespace {

std::shared_ptr<const RowSource> Photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x + y) * 255 / (width + height), x * 255 / width, int(random.bounded(256))));
    return PictureFromImage(image);
}

// One render, from the request to the art being handed to the window;
// returns the progress reports it made.
int RenderOnce(LiveRenderer& renderer, const std::shared_ptr<const RowSource>& picture,
               const ConversionOptions& options, benchmark::State& state)
{
    QEventLoop loop;
    int reports = 0;
    const auto shown = QObject::connect(&renderer, &LiveRenderer::rendered, &loop, &QEventLoop::quit);
    const auto counted = QObject::connect(&renderer, &LiveRenderer::progressed, [&reports] { ++reports; });
    const auto start = std::chrono::steady_clock::now();
    renderer.Render({.picture = picture, .options = options});
    loop.exec();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    QObject::disconnect(shown);
    QObject::disconnect(counted);
    return reports;
}

void FollowASliderAt79Columns(benchmark::State& state)
{
    const auto picture = Photo(640, 480);
    LiveRenderer renderer;
    ConversionOptions options;
    options.columns = FittingColumns;
    int contrast = 0;
    for (auto _ : state) {
        options.art.tone.contrast = contrast++ % 100; // each iteration a new slider position
        RenderOnce(renderer, picture, options, state);
    }
}

void RenderA48MegapixelPictureWithProgress(benchmark::State& state)
{
    const auto picture = Photo(8000, 6000);
    LiveRenderer renderer;
    int reports = 0;
    for (auto _ : state)
        reports = RenderOnce(renderer, picture, ConversionOptions{}, state);
    state.counters["progress_reports"] = reports;
}

BENCHMARK(FollowASliderAt79Columns)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(RenderA48MegapixelPictureWithProgress)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace ezedudu
