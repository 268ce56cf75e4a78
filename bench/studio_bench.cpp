// The studio's live renderer: how long a change of the controls takes to
// reach the screen (convert plus preview) for a 640 x 480 picture at 79
// columns, and an 8000 x 6000 picture at its natural size with the progress
// reports the window gets meanwhile; and how long a keystroke in the compose
// view's template takes to reach its page, for a 100-line template whose art
// (from a 4000 x 3000 JPEG) is already made.
#include "compose_view.h"
#include "live_renderer.h"

#include "ezedudu/editor_defaults.h"
#include "ezedudu/picture_loader.h"

#include "photo_jpeg.h"

#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>

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
    // As the studio starts: its own defaults, 79 columns of --glyphs lines.
    ConversionOptions options = EditorDefaults().conversion;
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

// The scene example drawing a camera-sized JPEG, its text made up to 100 lines.
std::string HundredLineTemplate()
{
    std::ifstream example(std::string(EZEDUDU_EXAMPLES) + "/scene-release.txt", std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(example), {});
    text.replace(text.find("sample.png"), 10, "photo.jpg");
    for (std::int64_t lines = std::count(text.begin(), text.end(), '\n'); lines < 100; ++lines)
        text += "A plain line of greetings, written as it is.\n";
    return text;
}

void TypeInAHundredLineTemplateWithItsArtMade(benchmark::State& state)
{
    QTemporaryDir folder;
    std::ofstream(folder.filePath("photo.jpg").toStdString(), std::ios::binary) << PhotoJpeg(4000, 3000);
    ComposeView compose;
    QEventLoop loop;
    QObject::connect(&compose, &ComposeView::composed, &loop, &QEventLoop::quit);
    QObject::connect(&compose, &ComposeView::composeFailed, &loop, [&](const ComposeFault& fault) {
        state.SkipWithError(fault.message.toStdString().c_str());
        loop.quit();
    });
    compose.SetTemplate(QString::fromStdString(HundredLineTemplate()), folder.path(), {});
    for (const QString& name : compose.FieldNames())
        compose.SetField(name, name);
    loop.exec(); // the art is made once, here
    auto* editor = compose.findChild<QPlainTextEdit*>("templateEditor");
    editor->moveCursor(QTextCursor::End);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        editor->insertPlainText(QStringLiteral("x"));
        loop.exec();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

BENCHMARK(FollowASliderAt79Columns)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(RenderA48MegapixelPictureWithProgress)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(TypeInAHundredLineTemplateWithItsArtMade)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace ezedudu
