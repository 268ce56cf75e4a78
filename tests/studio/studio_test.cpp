#include "live_renderer.h"
#include "remembered_options.h"
#include "studio_window.h"

#include "ezedudu/command_line.h"
#include "ezedudu/picture_loader.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "qt_printing.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace ezedudu {
namespace {

ConversionOptions Columns(std::int64_t columns)
{
    ConversionOptions options;
    options.columns = columns;
    return options;
}

// The control of an option of the option table.
template <typename Part>
Part* Control(QWidget& window, const char* option)
{
    return window.findChild<QWidget*>(option)->findChild<Part*>();
}

class Studio : public testing::Test {
protected:
    QString Path(const char* name) const { return folder.filePath(name); }

    // Waits for the art of the newest options to be shown.
    static bool WaitForArt(QSignalSpy& shown) { return !shown.isEmpty() || shown.wait(10000); }

    QTemporaryDir folder;
    QSettings settings{folder.filePath("studio.ini"), QSettings::IniFormat};
};

TEST_F(Studio, SavesAndExportsExactlyWhatTheCliMakesWithTheSameOptions)
{
    const struct {
        const char* name;
        std::function<void(QWidget&)> tune;
    } cases[] = {
        {"40 columns, levels, gamma, ordered dither",
         [](QWidget& w) {
             Control<QSpinBox>(w, "columns")->setValue(40);
             Control<QComboBox>(w, "levels")->setCurrentIndex(1);
             Control<QDoubleSpinBox>(w, "gamma")->setValue(1.4);
             Control<QComboBox>(w, "dither")->setCurrentIndex(2);
         }},
        {"natural size, 9 x 16 cells, inverted, contrast",
         [](QWidget& w) {
             Control<QSpinBox>(w, "columns")->setValue(0); // auto
             Control<QComboBox>(w, "cell-aspect")->setCurrentIndex(1);
             Control<QCheckBox>(w, "invert")->setChecked(true);
             Control<QDoubleSpinBox>(w, "contrast")->setValue(-30);
         }},
    };
    for (const auto& c : cases) {
        StudioWindow window(settings, Columns(79), PreviewTheme::Light);
        QSignalSpy shown(&window, &StudioWindow::artShown);
        ASSERT_TRUE(window.OpenFile(EZEDUDU_SAMPLE));
        c.tune(window);
        shown.clear(); // only the newest options' art is ever shown
        ASSERT_TRUE(WaitForArt(shown)) << c.name;
        ASSERT_TRUE(window.SaveTo(Path("studio.nfo")));
        ASSERT_TRUE(window.ExportPreviewTo(Path("studio.png")));

        QStringList command = QProcess::splitCommand(window.CliCommand());
        command.removeFirst(); // ezedudu-cli, run from the build
        QProcess cli;
        cli.start(EZEDUDU_CLI, command << "-o" << Path("cli.nfo") << "--preview" << Path("cli.png"));
        ASSERT_TRUE(cli.waitForFinished(30000));
        ASSERT_EQ(cli.exitCode(), 0) << c.name << ": " << window.CliCommand().toStdString();
        EXPECT_EQ(ReadBytes(Path("studio.nfo").toStdString()), ReadBytes(Path("cli.nfo").toStdString())) << c.name;
        EXPECT_EQ(QImage(Path("studio.png")), QImage(Path("cli.png"))) << c.name;
    }
}

// A picture that takes a millisecond a row, so that a render of it is still
// running when the next one is asked for.
class SlowRows : public RowSource {
public:
    SlowRows() : picture(20, 300, Grey(90)) {}
    std::int64_t Width() const override { return 20; }
    std::int64_t Height() const override { return 300; }
    bool CanSplit() const override { return false; }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override
    {
        for (std::int64_t y = first; y < end; ++y) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (!sink.TakeRow(y, picture.View().Row(y)))
                return false;
        }
        return true;
    }

private:
    MemoryPicture picture;
};

TEST_F(Studio, ANewerRenderCancelsTheRunningOneWhoseArtIsNeverShown)
{
    LiveRenderer renderer;
    QSignalSpy rendered(&renderer, &LiveRenderer::rendered);
    renderer.Render(std::make_shared<SlowRows>(), ConversionOptions{}, PreviewTheme::Light);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // well into the first render
    ConversionOptions inverted;
    inverted.art.tone.invert = true;
    renderer.Render(std::make_shared<SlowRows>(), inverted, PreviewTheme::Light);
    ASSERT_TRUE(rendered.wait(10000));
    QTest::qWait(100); // time for a stale result to arrive, were it let through
    ASSERT_EQ(rendered.size(), 1);
    EXPECT_EQ(renderer.Cancelled(), 1);
    const std::string art = rendered[0][0].value<std::string>();
    // Grey 90 inverted is 165, a light shade; the last cell also reads the
    // white column past the even width: (2 x 90 + 255) / 3 = 145, inverted 110.
    EXPECT_EQ(art.substr(0, 12), std::string(9, '\xB0') + "\xB1\r\n");
}

TEST_F(Studio, ReportsAFailedSaveInTheWindowAndKeepsTheArt)
{
    StudioWindow window(settings, Columns(20), PreviewTheme::Light);
    QSignalSpy shown(&window, &StudioWindow::artShown);
    ASSERT_TRUE(window.OpenFile(EZEDUDU_SAMPLE));
    ASSERT_TRUE(WaitForArt(shown));
    const std::string art = window.Art();
    QDir(folder.path()).mkdir("blocked.nfo"); // a folder where the file should go stops even root

    EXPECT_FALSE(window.SaveTo(Path("blocked.nfo")));
    const QString message = window.findChild<QLabel*>("message")->text();
    EXPECT_TRUE(message.startsWith("The NFO file was not saved: cannot")) << message.toStdString();
    EXPECT_EQ(window.Art(), art);
    EXPECT_TRUE(window.SaveTo(Path("elsewhere.nfo")));
    EXPECT_EQ(ReadBytes(Path("elsewhere.nfo").toStdString()), art);

    EXPECT_FALSE(window.OpenFile(Path("missing.bmp")));
    EXPECT_EQ(window.findChild<QLabel*>("message")->text(), "Cannot open missing.bmp: no such file");
    EXPECT_EQ(window.Art(), art);
}

TEST_F(Studio, RemembersItsOptionsAndTheCommandLineWins)
{
    ConversionOptions left = Columns(50);
    left.cellAspect = 1.5;
    left.art.tone.contrast = 20;
    left.art.dither = Dither::Ordered;
    RememberOptions(settings, left, PreviewTheme::Dark);

    ArtSettings recalled;
    RecallOptions(settings, recalled.conversion, recalled.theme);
    ProgramArguments arguments("ezedudu-studio", ArtOptionSet::ConversionAndPreview);
    ASSERT_EQ(arguments.Parse({"ezedudu-studio", "--columns", "60", "--invert"}, recalled), "");

    EXPECT_EQ(recalled.conversion.columns, 60);
    EXPECT_EQ(recalled.conversion.cellAspect, 1.5);
    EXPECT_EQ(recalled.conversion.art.tone.contrast, 20);
    EXPECT_TRUE(recalled.conversion.art.tone.invert);
    EXPECT_EQ(recalled.conversion.art.dither, Dither::Ordered);
    EXPECT_EQ(recalled.theme, PreviewTheme::Dark);
}

// Every option the studio takes has a control that shows it and can clear
// it: rows given on its command line are no hidden limit.
TEST_F(Studio, ShowsEveryOptionItWasGiven)
{
    ConversionOptions given = Columns(60);
    given.rows = 10;
    given.maxPixels = 5'000'000;
    StudioWindow window(settings, given, PreviewTheme::Light);
    EXPECT_EQ(Control<QSpinBox>(window, "rows")->value(), 10);
    EXPECT_EQ(window.CliCommand(), "ezedudu-cli --columns 60 --rows 10 --max-megapixels 5 PICTURE");
    Control<QSpinBox>(window, "rows")->setValue(0); // auto
    EXPECT_EQ(window.CliCommand(), "ezedudu-cli --columns 60 --max-megapixels 5 PICTURE");
}

} // namespace
} // namespace ezedudu
