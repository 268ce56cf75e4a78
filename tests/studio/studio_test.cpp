#include "cached_template_files.h"
#include "cli_command.h"
#include "compose_view.h"
#include "live_renderer.h"
#include "preview_view.h"
#include "remembered_options.h"
#include "studio_window.h"

#include "ezedudu/command_line.h"
#include "ezedudu/editor_defaults.h"
#include "ezedudu/error.h"
#include "ezedudu/option_table.h"
#include "ezedudu/picture_loader.h"
#include "ezedudu/qt_path.h"
#include "ezedudu/template_files.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "photo_jpeg.h"
#include "qt_printing.h"

#include <QApplication>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <tuple>

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

    // Waits for the spied signal, unless it came already.
    static bool WaitFor(QSignalSpy& spy) { return !spy.isEmpty() || spy.wait(10000); }
    static QString MessageOf(const QWidget& window) { return window.findChild<QLabel*>("message")->text(); }

    QTemporaryDir folder;
    QSettings settings{folder.filePath("studio.ini"), QSettings::IniFormat};
};

TEST_F(Studio, SavesAndExportsExactlyWhatTheCliMakesWithTheSameOptions)
{
    // The CLI decodes this JPEG at an eighth of its size for 32 columns; the
    // studio, which first drew it at 79 columns from a quarter, must too.
    WriteBytes(Path("photo.jpg").toStdString(), PhotoJpeg(640, 480));
    const struct {
        const char* name;
        QString picture;
        std::function<void(QWidget&)> tune;
    } cases[] = {
        {"40 columns, levels, gamma, ordered dither", EZEDUDU_SAMPLE,
         [](QWidget& w) {
             Control<QSpinBox>(w, "columns")->setValue(40);
             Control<QComboBox>(w, "levels")->setCurrentIndex(1);
             Control<QDoubleSpinBox>(w, "gamma")->setValue(1.4);
             Control<QComboBox>(w, "dither")->setCurrentIndex(2);
         }},
        {"natural size, 9 x 16 cells, inverted, contrast", EZEDUDU_SAMPLE,
         [](QWidget& w) {
             Control<QSpinBox>(w, "columns")->setValue(0); // auto
             Control<QComboBox>(w, "cell-aspect")->setCurrentIndex(1);
             Control<QCheckBox>(w, "invert")->setChecked(true);
             Control<QDoubleSpinBox>(w, "contrast")->setValue(-30);
         }},
        {"a JPEG at 32 columns, Floyd-Steinberg", Path("photo.jpg"),
         [](QWidget& w) {
             Control<QSpinBox>(w, "columns")->setValue(32);
             Control<QComboBox>(w, "dither")->setCurrentIndex(1);
         }},
    };
    for (const auto& c : cases) {
        StudioWindow window(settings, Columns(79), PreviewTheme::Light);
        QSignalSpy shown(&window, &StudioWindow::artShown);
        window.OpenFile(c.picture);
        c.tune(window);
        shown.clear(); // only the newest options' art is ever shown
        ASSERT_TRUE(WaitFor(shown)) << c.name;
        ASSERT_TRUE(window.SaveTo(Path("studio.nfo")));
        ASSERT_TRUE(window.ExportPreviewTo(Path("studio.png")));

        QStringList command = QProcess::splitCommand(window.CliCommand());
        command.removeFirst(); // ezedudu-cli, run from the build
        QProcess cli;
        cli.start(EZEDUDU_CLI, command << "-o" << Path("cli.nfo") << "--preview" << Path("cli.png"));
        ASSERT_TRUE(cli.waitForFinished(30000));
        ASSERT_EQ(cli.exitCode(), 0) << c.name << ": " << window.CliCommand().toStdString();
        EXPECT_EQ(ReadBytes(Path("studio.nfo").toStdString()), ReadBytes(Path("cli.nfo").toStdString())) << c.name;
        EXPECT_EQ(ReadBytes(Path("studio.png").toStdString()), ReadBytes(Path("cli.png").toStdString())) << c.name;
    }
}

// A picture that takes a millisecond a row, so that a render of it is still
// running when the next one is asked for; it notes whether it was read.
class SlowRows : public RowSource {
public:
    SlowRows() : picture(20, 300, Grey(90)) {}
    std::int64_t Width() const override { return 20; }
    std::int64_t Height() const override { return 300; }
    bool CanSplit() const override { return false; }
    bool ReadRows(std::int64_t first, std::int64_t end, RowSink& sink) const override
    {
        read = true;
        for (std::int64_t y = first; y < end; ++y) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (!sink.TakeRow(y, picture.View().Row(y)))
                return false;
        }
        return true;
    }

    bool WasRead() const { return read; }

private:
    MemoryPicture picture;
    mutable std::atomic<bool> read = false;
};

TEST_F(Studio, ANewerRenderCancelsTheRunningOneAndDropsThoseWaiting)
{
    LiveRenderer renderer;
    QSignalSpy rendered(&renderer, &LiveRenderer::rendered);
    renderer.Render({.picture = std::make_shared<SlowRows>()});
    const auto waiting = std::make_shared<SlowRows>();
    ConversionOptions inverted;
    inverted.art.tone.invert = true;
    const Artwork newest{.picture = std::make_shared<SlowRows>(), .options = inverted};
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // well into the first render
    renderer.Render({.picture = waiting}); // replaced before the first gives way
    renderer.Render(newest);
    ASSERT_TRUE(rendered.wait(10000));
    QTest::qWait(100); // time for a stale result to arrive, were it let through
    ASSERT_EQ(rendered.size(), 1);
    EXPECT_EQ(renderer.Cancelled(), 2);
    EXPECT_FALSE(waiting->WasRead());
    const std::string art(rendered[0][0].value<Artwork>().nfo.page.Cp437());
    // Grey 90 inverted is 165, a light shade; the last cell also reads the
    // white column past the even width: (2 x 90 + 255) / 3 = 145, inverted 110.
    EXPECT_EQ(art.substr(0, 12), std::string(9, '\xB0') + "\xB1\r\n");
}

TEST_F(Studio, ReportsWhateverARenderThrowsAsAFailure)
{
    using Opened = std::shared_ptr<const RowSource>;
    const struct {
        const char* name;
        PictureOpener open;
        const char* reason;
    } cases[] = {
        {"the program's error",
         [](const ConversionOptions&) -> Opened { throw Error(Error::Kind::UnreadablePicture, "corrupt"); },
         "corrupt"},
        {"a standard exception", [](const ConversionOptions&) -> Opened { throw std::out_of_range("index 9"); },
         "unexpected failure: index 9"},
        {"anything else", [](const ConversionOptions&) -> Opened { throw 9; },
         "unexpected failure of an unknown kind"},
    };
    for (const auto& c : cases) {
        LiveRenderer renderer;
        QSignalSpy failed(&renderer, &LiveRenderer::failed);
        renderer.Render({.open = c.open});
        ASSERT_TRUE(WaitFor(failed)) << c.name;
        EXPECT_EQ(failed[0][0].toString(), c.reason) << c.name;
    }
}

TEST_F(Studio, ReportsAFailedSaveInTheWindowAndKeepsTheArt)
{
    StudioWindow window(settings, Columns(20), PreviewTheme::Light);
    QSignalSpy shown(&window, &StudioWindow::artShown);
    window.OpenFile(EZEDUDU_SAMPLE);
    ASSERT_TRUE(WaitFor(shown));
    const std::string art = window.Art();
    QDir(folder.path()).mkdir("blocked.nfo"); // a folder where the file should go stops even root

    EXPECT_FALSE(window.SaveTo(Path("blocked.nfo")));
    EXPECT_TRUE(MessageOf(window).startsWith("The NFO file was not saved: cannot")) << MessageOf(window).toStdString();
    EXPECT_EQ(window.Art(), art);
    EXPECT_TRUE(window.SaveTo(Path("elsewhere.nfo")));
    EXPECT_EQ(ReadBytes(Path("elsewhere.nfo").toStdString()), art);
}

TEST_F(Studio, AFailedOpenKeepsThePictureShownWithItsArtNamesAndCommand)
{
    // Headers that pass; run-length data that leaves the picture.
    const std::string bmp = EncodeBmp(BitmapPicture{2, 1, {0xFF000000, 0xFFFFFFFF}}, {BmpEncoding::Rle8});
    WriteBytes(Path("bad-data.bmp").toStdString(), bmp.substr(0, PixelDataOffset(bmp)) + std::string("\0\2\x50\0", 4));
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"missing.bmp", "Cannot open missing.bmp: no such file"},
        {"bad-data.bmp", "Cannot open bad-data.bmp: corrupt bitmap: a run-length delta leaves the picture"},
    };
    for (const auto& c : cases) {
        StudioWindow window(settings, Columns(20), PreviewTheme::Light);
        QSignalSpy shown(&window, &StudioWindow::artShown);
        QSignalSpy failed(&window, &StudioWindow::artFailed);
        window.OpenFile(EZEDUDU_SAMPLE);
        ASSERT_TRUE(WaitFor(shown));
        const auto state = [&] {
            return std::tuple(window.Art(), window.windowTitle(), window.DefaultOutput(".nfo"), window.CliCommand());
        };
        const auto before = state();

        window.OpenFile(Path(c.file));
        ASSERT_TRUE(WaitFor(failed)) << c.file;
        EXPECT_EQ(MessageOf(window), c.message);
        EXPECT_EQ(state(), before) << c.file;
        shown.clear(); // a change redraws the picture still shown
        Control<QSpinBox>(window, "columns")->setValue(30);
        ASSERT_TRUE(WaitFor(shown)) << c.file;
        EXPECT_EQ(window.windowTitle(), std::get<1>(before)) << c.file;
    }
}

TEST_F(Studio, NeverProposesNorWritesOntoThePictureShown)
{
    // A bitmap under names a user might give it: the loader goes by its bytes.
    const struct {
        const char* picture;
        const char* nfo;
        const char* preview;
    } cases[] = {
        {"photo.png", "photo.nfo", "photo-art.png"},
        {"photo.nfo", "photo-art.nfo", "photo-art.png"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(QFile::copy(EZEDUDU_SAMPLE, Path(c.picture)));
        StudioWindow window(settings, Columns(20), PreviewTheme::Light);
        QSignalSpy shown(&window, &StudioWindow::artShown);
        window.OpenFile(Path(c.picture));
        ASSERT_TRUE(WaitFor(shown)) << c.picture;
        EXPECT_EQ(window.DefaultOutput(".nfo"), Path(c.nfo));
        EXPECT_EQ(window.DefaultOutput("-art.png"), Path(c.preview));
        for (const QString& typed : {Path(c.picture), folder.path() + "/./" + c.picture}) {
            EXPECT_FALSE(window.SaveTo(typed)) << typed.toStdString();
            EXPECT_EQ(MessageOf(window), "The NFO file was not saved: refusing to overwrite the picture with its "
                                         "own NFO text or preview; name another output");
            EXPECT_FALSE(window.ExportPreviewTo(typed)) << typed.toStdString();
        }
        EXPECT_EQ(ReadBytes(Path(c.picture).toStdString()), ReadBytes(EZEDUDU_SAMPLE)) << c.picture;
        QFile::remove(Path(c.picture));
    }
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

// Pasted into a shell, the command keeps the colour (no comment) and runs
// nothing from the closing line or the picture's name.
TEST_F(Studio, CopyCommandQuotesEveryWordForTheShell)
{
    ConversionOptions options;
    options.background = 0x102030;
    options.layout.signature = "it's $(touch pwned)";
    EXPECT_EQ(CliCommandFor(options, "my photo #1.bmp").toStdString(),
              "ezedudu-cli --background '#102030' --signature 'it'\\''s $(touch pwned)' 'my photo #1.bmp'");
}

// A name that looks like markup is shown as the name it is.
TEST_F(Studio, ShowsFileNamesAsPlainText)
{
    const QString name = QStringLiteral("<h1><font color=green>Saved OK<!--.png");
    WriteBytes(Path(name.toUtf8().constData()).toStdString(), "not a picture");
    StudioWindow window(settings, Columns(79), PreviewTheme::Light);
    QSignalSpy failed(&window, &StudioWindow::artFailed);
    window.OpenFile(Path(name.toUtf8().constData()));
    ASSERT_TRUE(WaitFor(failed));
    EXPECT_TRUE(MessageOf(window).contains(name)) << MessageOf(window).toStdString();
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().contains(name)) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
        }
    }
}

// Reset shows the defaults at once; Undo brings the settings back, and
// only what the user keeps is remembered.
TEST_F(Studio, ResetGoesBackToTheStudioDefaultsUntilUndone)
{
    ConversionOptions tuned = Columns(40);
    tuned.art.tone.invert = true;
    tuned.layout.trim = true;
    RememberOptions(settings, tuned, PreviewTheme::Dark);
    StudioWindow window(settings, tuned, PreviewTheme::Dark);
    QSignalSpy shown(&window, &StudioWindow::artShown);
    window.OpenFile(EZEDUDU_SAMPLE);
    ASSERT_TRUE(WaitFor(shown));
    const QString tunedCommand = window.CliCommand();
    const std::string tunedArt = window.Art();
    const auto remembered = [&] {
        ArtSettings recalled;
        RecallOptions(settings, recalled.conversion, recalled.theme);
        return ArgumentsFor(recalled, true);
    };
    const ArtSettings defaults = EditorDefaults();
    auto* reset = window.findChild<QPushButton*>("resetToDefaults");
    QAction* undo = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(QKeySequence::Undo))
            undo = action;
    ASSERT_NE(undo, nullptr);
    EXPECT_FALSE(undo->isEnabled());

    shown.clear();
    reset->click();
    ASSERT_TRUE(WaitFor(shown));
    EXPECT_EQ(window.CliCommand(), CliCommandFor(defaults.conversion, EZEDUDU_SAMPLE));
    EXPECT_EQ(std::int64_t(window.Art().find("\r\n")), *defaults.conversion.columns);
    EXPECT_EQ(remembered(), ArgumentsFor({tuned, PreviewTheme::Dark}, true)); // not kept yet

    shown.clear();
    undo->trigger();
    ASSERT_TRUE(WaitFor(shown));
    EXPECT_EQ(window.CliCommand(), tunedCommand);
    EXPECT_EQ(window.Art(), tunedArt);
    EXPECT_FALSE(undo->isEnabled());

    reset->click();
    window.close(); // kept
    EXPECT_EQ(remembered(), ArgumentsFor(defaults, true));
}

// A window's shortcut wins over a text field that claims its key, in a line
// of its own or in a spin box; the field keeps the standard editing keys.
// Fields claim Ctrl+E (the line's end) under X11's key scheme only, so a
// shortcut on Ctrl+End, which they claim everywhere, stands in for it here.
TEST_F(Studio, MenuShortcutsWinOverTextFieldsButNotTheirEditingKeys)
{
    StudioWindow window(settings, Columns(20), PreviewTheme::Light);
    QSignalSpy shown(&window, &StudioWindow::artShown);
    window.OpenFile(EZEDUDU_SAMPLE);
    ASSERT_TRUE(WaitFor(shown));
    window.show();
    QMenu* lastMenu = window.menuBar()->actions().constLast()->menu();
    lastMenu->addAction("End of art", Qt::CTRL | Qt::Key_End);
    // Each action a key may reach names itself instead of doing its work, so
    // no dialog opens.
    QString reached;
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->shortcut().isEmpty())
            continue;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, [&reached, action] { reached = action->text(); });
    }
    QGuiApplication::clipboard()->setText("pasted");
    const struct {
        const char* field;
        QKeyCombination key;
        QString reached;
        QString text; // the field's, after the key
    } cases[] = {
        {"signature", Qt::CTRL | Qt::Key_E, "&Export Preview\u2026", "x"},
        {"signature", Qt::CTRL | Qt::Key_End, "End of art", "x"},
        {"columns", Qt::CTRL | Qt::Key_End, "End of art", "20"},
        {"signature", Qt::CTRL | Qt::Key_V, "", "pastedx"},
    };
    for (const auto& c : cases) {
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        auto* line = window.findChild<QWidget*>(c.field)->findChild<QLineEdit*>();
        line->setFocus();
        if (c.field == std::string("signature"))
            line->setText("x");
        line->setCursorPosition(0);
        reached.clear();
        QTest::keyClick(line, c.key.key(), c.key.keyboardModifiers());
        EXPECT_EQ(reached, c.reached) << c.field << " " << QKeySequence(c.key).toString().toStdString();
        EXPECT_EQ(line->text(), c.text) << c.field;
    }
}

// Typed digits redraw at once, without Enter or leaving the field.
TEST_F(Studio, ColumnsApplyAsTheyAreTyped)
{
    StudioWindow window(settings, Columns(79), PreviewTheme::Light);
    QSignalSpy shown(&window, &StudioWindow::artShown);
    window.OpenFile(EZEDUDU_SAMPLE);
    ASSERT_TRUE(WaitFor(shown));
    auto* columns = Control<QSpinBox>(window, "columns");
    columns->selectAll();
    QTest::keyClicks(columns, "3");
    shown.clear();
    QTest::keyClicks(columns, "2");
    ASSERT_TRUE(WaitFor(shown));
    EXPECT_EQ(window.Art().find("\r\n"), 32u); // the first line
}

// Whole ratios only: fitted, the largest that fits; the wheel steps through
// ... 1/3, 1/2, 1, 2, 3 ... from there, within 1/8 and 8.
TEST_F(Studio, ComposeSavesWhatTheCliComposesFromTheSameTemplateAndFields)
{
    // The art view's picture, in a folder whose name needs quoting, sent
    // into a template made from the bundled scene example.
    ASSERT_TRUE(QDir(folder.path()).mkdir("my pictures"));
    ASSERT_TRUE(QFile::copy(EZEDUDU_SAMPLE, Path("my pictures/sample.bmp")));
    ASSERT_TRUE(QFile::copy(EZEDUDU_EXAMPLES "/sample.png", Path("sample.png"))); // the example's own
    StudioWindow window(settings, Columns(40), PreviewTheme::Light);
    QSignalSpy shown(&window, &StudioWindow::artShown);
    window.OpenFile(Path("my pictures/sample.bmp"));
    ASSERT_TRUE(WaitFor(shown));
    ComposeView& compose = *window.Composer();
    window.NewTemplateFrom(QStringLiteral(EZEDUDU_EXAMPLES "/scene-release.txt"));
    ASSERT_TRUE(compose.SaveTemplateTo(Path("release.txt")));
    compose.findChild<QPlainTextEdit*>("templateEditor")->moveCursor(QTextCursor::End);
    QSignalSpy composed(&compose, &ComposeView::composed);
    ASSERT_TRUE(compose.InsertArtLine(Path("my pictures/sample.bmp"), Columns(40)));
    EXPECT_TRUE(compose.TemplateText().endsWith("{{art \"my pictures/sample.bmp\" --columns 40}}\n"));
    EXPECT_TRUE(compose.IsModified()); // closing now would ask first
    ASSERT_TRUE(compose.SaveTemplateTo(Path("release.txt")));
    EXPECT_FALSE(compose.IsModified());
    QStringList sets;
    for (const QString& name : compose.FieldNames()) {
        compose.SetField(name, name + QStringLiteral(" \u00e9t\u00e9"));
        sets << "--set" << name + "=" + name + QStringLiteral(" \u00e9t\u00e9");
    }
    composed.clear();
    ASSERT_TRUE(WaitFor(composed)) << compose.Message().toStdString();
    ASSERT_TRUE(compose.SaveNfoTo(Path("studio.nfo"))) << compose.Message().toStdString();

    QProcess cli;
    cli.start(EZEDUDU_CLI, QStringList{"--compose", Path("release.txt"), "-o", Path("cli.nfo")} << sets);
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const std::string written = ReadBytes(Path("studio.nfo").toStdString());
    EXPECT_EQ(written, ReadBytes(Path("cli.nfo").toStdString()));
    EXPECT_EQ(written, std::string(compose.ShownPage()->Cp437()));
    // Never over the template, nor a picture it reads.
    EXPECT_FALSE(compose.SaveNfoTo(Path("release.txt")));
    EXPECT_FALSE(compose.SaveNfoTo(Path("my pictures/sample.bmp")));
    EXPECT_EQ(ReadBytes(Path("my pictures/sample.bmp").toStdString()), ReadBytes(EZEDUDU_SAMPLE));
}

TEST_F(Studio, ComposingAgainMakesArtOnlyForNewPicturesOrOptions)
{
    ASSERT_TRUE(QFile::copy(EZEDUDU_SAMPLE, Path("sample.bmp")));
    CachedTemplateFiles files(ToPath(folder.path()));
    TemplateFiles plain(ToPath(folder.path()));
    const struct {
        const char* text;
        int artsMade;
    } steps[] = {
        {"{{art sample.bmp --columns 30}}\n", 1},
        {"Typed above\n{{art sample.bmp --columns 30}}\nand below\n", 1},
        {"{{box}}\n{{art sample.bmp}}\n{{/box}}\n", 2}, // fitted to the box: 76 columns
        {"{{art sample.bmp --columns 30 --invert}}\n", 3},
        {"{{art sample.bmp --columns 30}}\n", 3},
    };
    for (const auto& step : steps) {
        const Page kept = Compose(step.text, {}, files, {});
        EXPECT_EQ(files.ArtsMade(), step.artsMade) << step.text;
        EXPECT_EQ(std::string(kept.Cp437()), std::string(Compose(step.text, {}, plain, {}).Cp437())) << step.text;
    }
}

TEST_F(Studio, ACodePage437TemplateOpensWithEveryGlyphAndComposesAsTheCliDoes)
{
    WriteBytes(Path("old.nfo").toStdString(), "\xDB\xB2\xB1 \x10 caf\x82\n\t\xC9\xCD\xBB\n");
    StudioWindow window(settings, Columns(40), PreviewTheme::Light);
    ASSERT_TRUE(window.OpenTemplate(Path("old.nfo")));
    ComposeView& compose = *window.Composer();
    EXPECT_EQ(compose.TemplateText(), QStringLiteral("\u2588\u2593\u2592 \u25BA caf\u00E9\n\t\u2554\u2550\u2557\n"));
    ASSERT_TRUE(compose.SaveNfoTo(Path("studio.nfo"))) << compose.Message().toStdString();
    QProcess cli;
    cli.start(EZEDUDU_CLI, {"--compose", Path("old.nfo"), "-o", Path("cli.nfo")});
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(ReadBytes(Path("studio.nfo").toStdString()), ReadBytes(Path("cli.nfo").toStdString()));
}

TEST_F(Studio, AFaultInTheTemplateIsMarkedWhereItIsAndTheLastPageStays)
{
    ComposeView compose;
    QSignalSpy composed(&compose, &ComposeView::composed);
    QSignalSpy failed(&compose, &ComposeView::composeFailed);
    auto* editor = compose.findChild<QPlainTextEdit*>("templateEditor");
    editor->setPlainText("Hello\n");
    ASSERT_TRUE(WaitFor(composed));
    const std::string good(compose.ShownPage()->Cp437());
    editor->setPlainText("Hello\n  {{rule}} and more\n");
    ASSERT_TRUE(WaitFor(failed));
    const auto fault = failed.takeLast().at(0).value<ComposeFault>();
    EXPECT_EQ(fault.line, 2);
    EXPECT_EQ(fault.column, 12);
    EXPECT_TRUE(compose.Message().startsWith("Line 2, column 12: ")) << compose.Message().toStdString();
    ASSERT_EQ(editor->extraSelections().size(), 1);
    const QTextCursor mark = editor->extraSelections().front().cursor;
    EXPECT_EQ(mark.selectionStart(), editor->document()->findBlockByNumber(1).position() + 11);
    EXPECT_EQ(std::string(compose.ShownPage()->Cp437()), good);
    composed.clear();
    editor->setPlainText("Hello again\n");
    ASSERT_TRUE(WaitFor(composed));
    EXPECT_TRUE(editor->extraSelections().isEmpty());
}

TEST_F(Studio, TheFieldsFormListsTheTemplatesFieldsAsTheyChange)
{
    ComposeView compose;
    auto* editor = compose.findChild<QPlainTextEdit*>("templateEditor");
    const auto formNames = [&] {
        QStringList names;
        for (const QLineEdit* field : compose.findChild<QWidget*>("composeFields")->findChildren<QLineEdit*>())
            names << field->objectName();
        return names;
    };
    editor->setPlainText("{{title}} {{date}}\n{{box \"X\"}}\n{{group}} {{title}}\n{{/box}}\n");
    EXPECT_EQ(compose.FieldNames(), QStringList({"title", "date", "group"}));
    EXPECT_EQ(formNames(), QStringList({"field:title", "field:date", "field:group"}));
    EXPECT_EQ(compose.findChild<QLineEdit*>("field:date")->text(), QDate::currentDate().toString(Qt::ISODate));
    compose.SetField("group", "ZOR");
    editor->setPlainText("{{title}}\n{{box \"X\"}}\n"); // does not parse: the form stays
    EXPECT_EQ(compose.FieldNames(), QStringList({"title", "date", "group"}));
    editor->setPlainText("{{title}}\n");
    EXPECT_EQ(formNames(), QStringList({"field:title"}));
    editor->setPlainText("{{title}} {{group}}\n"); // a value typed comes back with its field
    EXPECT_EQ(compose.findChild<QLineEdit*>("field:group")->text(), "ZOR");
}

TEST(PreviewZoom, KeepsToWholeSteps)
{
    const QSize preview(100, 40);
    const struct {
        QSize room;
        int wheelSteps;
        double zoom;
    } cases[] = {
        {{350, 200}, 0, 3},      {{200, 80}, 0, 2},      {{100, 40}, 0, 1},       {{99, 300}, 0, 1.0 / 2},
        {{30, 300}, 0, 1.0 / 4}, {{350, 200}, 1, 4},     {{100, 40}, -2, 1.0 / 3}, {{200, 80}, -1, 1},
        {{100, 40}, 10, 8},      {{100, 40}, -10, 1.0 / 8},
    };
    for (const auto& c : cases) {
        PreviewView view(nullptr);
        view.setFrameShape(QFrame::NoFrame);
        view.resize(c.room);
        view.show();
        view.SetPreview(QImage(preview, QImage::Format_RGB32));
        if (c.wheelSteps != 0) {
            QWheelEvent wheel({10, 10}, {10, 10}, {}, {0, 120 * c.wheelSteps}, Qt::NoButton, Qt::ControlModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &wheel);
        }
        const std::string name = std::to_string(c.room.width()) + " wide, " + std::to_string(c.wheelSteps) + " steps";
        EXPECT_DOUBLE_EQ(view.Zoom(), c.zoom) << name;
        // A partly covered block at the edge still makes a pixel.
        const auto side = [&](int length) { return int(std::ceil(length * c.zoom - 1e-9)); };
        EXPECT_EQ(view.widget()->size(), QSize(side(preview.width()), side(preview.height()))) << name;
    }
}

} // namespace
} // namespace ezedudu
