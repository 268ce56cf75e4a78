// A 4000 x 3000 bitmap converted the way ezedudu-cli does it, and by the
// window (shown, with its progress bar and event breaks) on the offscreen
// platform. Only the modal dialog and message box are scripted away.
#include "frmMain.h"
#include "qt_platform_services.h"

#include "ezedudu/conversion_job.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/nfo_text.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace ezedudu {
namespace {

class UnattendedPlatform : public QtPlatformServices {
public:
    explicit UnattendedPlatform(QString chosen) : picture(std::move(chosen)) {}
    void ShowOpen(OpenFileDialog& dialog) override { dialog.FileName = picture; }
    void ShowMessage(const QString&, MessageStyle, const QString&) override {}

private:
    QString picture;
};

struct Picture {
    Picture()
    {
        QImage image(4000, 3000, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x + y) / 28, x / 16, int(random.bounded(256))));
        image.save(path, "BMP");
    }
    QTemporaryDir folder;
    QString path = folder.filePath("photo.bmp");
};

const Picture& SharedPicture()
{
    static const Picture picture;
    return picture;
}

void ConvertLikeTheCli(benchmark::State& state)
{
    const std::filesystem::path picture = SharedPicture().path.toStdString();
    for (auto _ : state) {
        const ConversionJob job(picture, ConversionOptions{});
        WriteNfoFile(NfoPathFor(picture), job.Convert()->page.Cp437());
    }
}

void ConvertInTheWindow(benchmark::State& state)
{
    UnattendedPlatform platform(SharedPicture().path);
    for (auto _ : state) {
        frmMain window(platform);
        if (!window.Load())
            state.SkipWithError("the window did not convert the picture");
    }
}

BENCHMARK(ConvertLikeTheCli)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ConvertInTheWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace ezedudu
