#include "ezedudu/cp437.h"
#include "ezedudu/picture_loader.h"
#include "ezedudu/utf8.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "reference_nfo.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace ezedudu {
namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class Cli : public testing::Test {
protected:
    CliRun Run(const QStringList& arguments, const std::string& input = {}, const char* program = EZEDUDU_CLI) const
    {
        return RunPrepared(arguments, [](QProcess&) {}, input, program);
    }

    // Run, with the process set up by prepare first (its standard input, its limits).
    CliRun RunPrepared(const QStringList& arguments, const std::function<void(QProcess&)>& prepare,
                       const std::string& input = {}, const char* program = EZEDUDU_CLI) const
    {
        QProcess process;
        process.setWorkingDirectory(folder.path());
        prepare(process);
        process.start(program, arguments);
        if (!input.empty())
            process.write(input.data(), qint64(input.size()));
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000)) << "ezedudu-cli did not finish";
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
    }

    QString Path(const char* name) const { return folder.filePath(name); }
    std::string Bytes(const char* name) const { return ReadBytes(Path(name).toStdString()); }
    bool Exists(const char* name) const { return QFile::exists(Path(name)); }

    QString PlaceSample(const char* name) const
    {
        QFile::copy(EZEDUDU_SAMPLE, Path(name));
        return Path(name);
    }
    QString PlaceBytes(const char* name, const std::string& bytes) const
    {
        WriteBytes(Path(name).toStdString(), bytes);
        return Path(name);
    }
    QString PlaceBlackBitmap(const char* name, int width, int height) const
    {
        return PlaceBytes(name, EncodeBmp(BitmapPicture{width, height, std::vector<std::uint32_t>(
                                                                           std::size_t(width) * height, Grey(0))},
                                          BmpFormat{}));
    }

    static std::string Golden(const char* name) { return ReadBytes(std::string(EZEDUDU_TEST_DATA) + "/" + name); }

    QTemporaryDir folder;
};

TEST_F(Cli, WritesTheNfoBesideThePicture)
{
    const CliRun run = Run({PlaceBlackBitmap("black.bmp", 7, 7), PlaceSample("sample.bmp")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Hex(Bytes("black.nfo")), Hex(Golden("black-7x7.nfo")));
    EXPECT_EQ(Bytes("sample.nfo"), Golden("sample.nfo"));
}

TEST_F(Cli, SampleGoldenMatchesThePlainConversion)
{
    const QImage sample = LoadPicture(EZEDUDU_SAMPLE);
    EXPECT_EQ(Golden("sample.nfo"), ReferenceNfo(CanvasOf(sample)));
}

TEST_F(Cli, WritesWhereOutputPoints)
{
    const QString picture = PlaceBlackBitmap("black.bmp", 7, 7);
    EXPECT_EQ(Run({"-o", Path("elsewhere.txt"), picture}).exitCode, 0);
    EXPECT_EQ(Bytes("elsewhere.txt"), Golden("black-7x7.nfo"));
    EXPECT_FALSE(Exists("black.nfo"));

    const CliRun toStdout = Run({"-o", "-", picture});
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, Golden("black-7x7.nfo"));
    EXPECT_FALSE(Exists("black.nfo"));
}

TEST_F(Cli, Utf8WritesTheShadeCharactersAsUnicode)
{
    const CliRun run = Run({"--utf8", "-o", "-", PlaceSample("sample.bmp")});
    EXPECT_EQ(run.exitCode, 0);
    std::string expected;
    for (const char byte : Golden("sample.nfo")) {
        if (std::uint8_t(byte) < 0x80)
            expected += byte;
        else
            AppendUtf8(expected, Cp437ToUnicode(std::uint8_t(byte)));
    }
    EXPECT_EQ(run.out, expected);
    for (const char* glyph : {"\u2588", "\u2593", "\u2592", "\u2591"})
        EXPECT_NE(run.out.find(glyph), std::string::npos) << glyph;
    EXPECT_EQ(run.out.find('\xDB'), std::string::npos);
}

TEST_F(Cli, RejectsBadUsageWithStatusTwo)
{
    const QString picture = PlaceSample("sample.bmp");
    const struct {
        QStringList arguments;
        const char* saying;
    } cases[] = {
        {{}, "no picture given"},
        {{"--no-such-option", picture}, "no-such-option"},
        {{"-o", "out.nfo", picture, picture}, "-o names the output of a single picture"},
        {{"--preview", "art.png", picture, picture}, "--preview names the output of a single picture"},
        {{"-", picture}, "'-' (standard input) must be the only picture"},
        {{"--max-megapixels", "0", picture}, "--max-megapixels takes a whole number from 1 to 1000000"},
        {{"--max-megapixels", "lots", picture}, "--max-megapixels takes a whole number"},
        {{"--columns", "0", picture}, "--columns takes a whole number from 1 to 100000"},
        {{"--rows", "abc", picture}, "--rows takes a whole number"},
        {{"--cell-aspect", "-2", picture}, "--cell-aspect takes a number from 0.1 to 10"},
        {{"--cell-aspect", "1e9", picture}, "--cell-aspect takes a number from 0.1 to 10"},
        {{"--gamma", "0", picture}, "--gamma takes a number from 0.1 to 10"},
        {{"--gamma", "nan", picture}, "--gamma takes a number from 0.1 to 10"},
        {{"--contrast", "101", picture}, "--contrast takes a whole number from -100 to 100"},
        {{"--brightness", "-256", picture}, "--brightness takes a whole number from -255 to 255"},
        {{"--levels", "manual", picture}, "--levels takes off or auto"},
        {{"--dither", "sparkle", picture}, "--dither takes none, floyd-steinberg or ordered"},
        {{"--preview-theme", "blue", "--preview", "art.png", picture}, "--preview-theme takes light or dark"},
        {{"-o", "-", "--preview", "-", picture}, "cannot both go to standard output"},
        {{"--preview", "-", "-"}, "cannot both go to standard output"},
        {{"-o", "", picture}, "-o needs a file name"},
        {{"--preview", "", picture}, "--preview needs a file name"},
        {{"-o", "art.nfo", "--preview", "./art.nfo", picture}, "would both go to ./art.nfo; name a file for each"},
        {{"--preview", Path("sample.nfo"), picture}, "would both go to"},
        {{"--\x1B[2J", picture}, "'\\x1B[2J'"}, // never sent raw to the terminal
        {{"--width", "0", picture}, "--width takes a whole number from 1 to 1000"},
        {{"--layout", "dos", picture}, "--layout takes nfo, p2p or diz"},
        {{"--check"}, "no file given to --check"},
        {{"--check", "-o", "out.nfo", picture}, "--check writes nothing"},
        {{"--compose", "t.txt", "--columns", "60"}, "with --compose give it on the template's art line"},
    };
    for (const auto& c : cases) {
        const CliRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.err.rfind("ezedudu-cli: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.saying), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(Exists("sample.nfo"));
    EXPECT_FALSE(Exists("art.png"));
}

TEST_F(Cli, ReadsAPictureFromStandardInput)
{
    const std::string bitmap = ReadBytes(EZEDUDU_SAMPLE);
    const CliRun toOutput = Run({"-"}, bitmap);
    EXPECT_EQ(toOutput.exitCode, 0) << toOutput.err;
    EXPECT_EQ(toOutput.out, Golden("sample.nfo"));

    QImage png;
    ASSERT_TRUE(png.load(EZEDUDU_SAMPLE));
    png.save(Path("sample.png"));
    const CliRun toFile = Run({"-o", Path("from-png.nfo"), "-"}, ReadBytes(Path("sample.png").toStdString()));
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err;
    EXPECT_EQ(Bytes("from-png.nfo"), Golden("sample.nfo"));
}

TEST_F(Cli, FitsTheArtToTheColumnsAsked)
{
    // 240 x 120 at 79 columns: 79 * 120 / (240 * 2) = 19.75 gives 20 lines.
    const CliRun run = Run({"--columns", "79", "-o", "-", PlaceSample("sample.bmp")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(run.out.size(), 20u * (79 + 2) + 65);
    for (std::size_t line = 0; line < 20; ++line)
        EXPECT_EQ(run.out.substr(line * 81 + 79, 2), "\r\n") << line;
}

// Each glyph set keeps to its own bytes, at the natural size and fitted;
// the half blocks show up along the sample's edges.
TEST_F(Cli, DrawsEachGlyphSetWithItsOwnBytes)
{
    const std::string shades = "\xDB\xB2\xB1\xB0 ";
    const std::string halves = "\xDF\xDC\xDD\xDE";
    const QString picture = PlaceSample("sample.bmp");
    for (const QStringList& size : {QStringList{}, QStringList{"--columns", "79"}})
        for (const char* glyphs : {"shades", "blocks"}) {
            const CliRun run = Run(QStringList(size) << "--glyphs" << glyphs << "-o" << "-" << picture);
            ASSERT_EQ(run.exitCode, 0) << run.err;
            const std::string art = run.out.substr(0, run.out.find("\r\n\r\n"));
            const std::string allowed = shades + "\r\n" + (glyphs == std::string("blocks") ? halves : "");
            EXPECT_EQ(art.find_first_not_of(allowed), std::string::npos) << glyphs << " " << size.join(' ').toStdString();
            EXPECT_EQ(art.find_first_of(halves) != std::string::npos, glyphs == std::string("blocks"))
                << glyphs << " " << size.join(' ').toStdString();
        }
}

TEST_F(Cli, DrawsThePreviewAsAViewerShowsIt)
{
    const QString picture = PlaceBlackBitmap("black.bmp", 7, 7);
    for (const char* theme : {"light", "dark"}) {
        const CliRun run = Run({"--preview", Path("art.png"), "--preview-theme", theme, picture});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(Bytes("black.nfo"), Golden("black-7x7.nfo"));
        const QImage preview(Path("art.png"));
        // Two art lines, the empty line and the 61 characters of the closing line, in 8 x 16 cells.
        ASSERT_EQ(preview.size(), QSize(61 * 8, 4 * 16)) << theme;
        const QRgb ink = theme == std::string("dark") ? qRgb(0xAA, 0xAA, 0xAA) : qRgb(0, 0, 0);
        const QRgb paper = theme == std::string("dark") ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
        for (int y = 0; y < 32; ++y) // three full blocks a line touch: no gap between or below them
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(preview.pixel(x, y), ink) << theme << " at " << x << ", " << y;
        EXPECT_EQ(preview.pixel(24, 0), paper) << theme;
        EXPECT_EQ(preview.pixel(0, 40), paper) << theme;
    }
    const CliRun toOutput = Run({"--preview", "-", "--preview-theme", "dark", picture});
    ASSERT_EQ(toOutput.exitCode, 0) << toOutput.err;
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(toOutput.out)), QImage(Path("art.png")));
    EXPECT_FALSE(Exists("-"));
}

// The three programs share their start: help, version, the art options with
// their ranges, and how a usage error is told.
// --check prints what it finds as a compiler does and fails only on
// problems; a file it cannot read fails too, and the rest are still checked.
TEST_F(Cli, ChecksNfoFilesForWhatViewersShowWrong)
{
    const QString clean = PlaceBytes("clean.nfo", "\x10 \xDB\xDB \x11\r\n");
    const QString lfOnly = PlaceBytes("lf.nfo", "ok\n");
    const QString utf8 = PlaceBytes("utf8.nfo", "\xE2\x96\x88\r\n");
    const QString wide = PlaceBytes("wide.diz", std::string(46, 'x') + "\r\n");
    const QString escaping = PlaceBytes("\x1B[2J.nfo", "\x07\r\n"); // its name reaches the terminal escaped
    const struct {
        QStringList arguments;
        std::string input;
        int exitCode;
        std::string out;
    } cases[] = {
        {{"--check", clean}, "", 0, ""},
        {{"--check", lfOnly}, "", 0, lfOnly.toStdString() + ":1:3: warning: line ends are LF alone"},
        {{"--check", clean, utf8}, "", 1, utf8.toStdString() + ":1:1: the file is UTF-8"},
        {{"--check", wide}, "", 0, ""},
        {{"--check", "--layout", "diz", wide}, "", 1, wide.toStdString() + ":1:46: the line is 46 columns wide, more than 45"},
        {{"--check", "--layout", "diz", "--width", "46", wide}, "", 0, ""},
        {{"--check", "-"}, "a\x07\r\n", 1, "-:1:2: BEL (byte 7)"},
        {{"--check", escaping}, "", 1, folder.path().toStdString() + "/\\x1B[2J.nfo:1:1: BEL"},
        {{"--check", Path("missing.nfo"), clean}, "", 1, ""},
    };
    for (const auto& c : cases) {
        const CliRun run = Run(c.arguments, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString() << "\n" << run.out << run.err;
        EXPECT_EQ(run.out.substr(0, c.out.size()), c.out) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.out.empty(), c.out.empty()) << run.out;
    }
    EXPECT_NE(Run({"--check", Path("missing.nfo")}).err.find("ezedudu-cli: " + Path("missing.nfo").toStdString() +
                                                               ": cannot be opened"),
              std::string::npos);
}

TEST_F(Cli, EveryProgramStartsAlike)
{
    const struct {
        const char* program;
        const char* name;
        const char* usage;
        const char* version;
    } programs[] = {
        {EZEDUDU_CLI, "ezedudu-cli", "Usage: ezedudu-cli [options] PICTURE...", "ezedudu-cli 2.00.0001\n"},
#ifdef EZEDUDU_STUDIO
        {EZEDUDU_DESKTOP, "ezedudu", "Usage: ezedudu [options] [PICTURE]", "Tavix's ZOR Ezedudu 2.00.0001\n"},
        {EZEDUDU_STUDIO, "ezedudu-studio", "Usage: ezedudu-studio [options] [PICTURE]", "ezedudu-studio 2.00.0001\n"},
#endif
    };
    for (const auto& p : programs) {
        const CliRun help = Run({"--help"}, {}, p.program);
        EXPECT_EQ(help.exitCode, 0) << p.name;
        EXPECT_EQ(help.out.rfind(p.usage, 0), 0u) << help.out;
        EXPECT_NE(help.out.find("--gamma <G>"), std::string::npos) << p.name;
        EXPECT_EQ(Run({"--version"}, {}, p.program).out, p.version);
        const std::pair<QStringList, std::string> usageErrors[] = {
            {{"--no-such-option"}, "Unknown option 'no-such-option'."},
            {{"--gamma", "20"}, "--gamma takes a number from 0.1 to 10"},
        };
        for (const auto& [arguments, saying] : usageErrors) {
            const CliRun run = Run(arguments, {}, p.program);
            EXPECT_EQ(run.exitCode, 2) << p.name << " " << arguments.join(' ').toStdString();
            // The desktop programs may hear from Qt first.
            EXPECT_NE(run.err.find(p.name + (": " + saying) + "\nTry '" + p.name + " --help' for more information.\n"),
                      std::string::npos)
                << run.err;
        }
    }
}

TEST_F(Cli, ConvertsTheRestWhenSomePicturesFail)
{
    const QString bad = PlaceBytes("words.bmp", "not a picture\n");
    const CliRun run = Run({PlaceSample("first.bmp"), bad, Path("missing.bmp"), PlaceSample("last.bmp")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Exists("first.nfo"));
    EXPECT_TRUE(Exists("last.nfo"));
    EXPECT_FALSE(Exists("words.nfo"));
    const std::string expectedStart = "ezedudu-cli: " + bad.toStdString() + ": not a picture";
    EXPECT_EQ(run.err.rfind(expectedStart, 0), 0u) << run.err;
    EXPECT_NE(run.err.find("ezedudu-cli: " + Path("missing.bmp").toStdString() + ": no such file\n"), std::string::npos)
        << run.err;
}

// Each damaged picture gets one line of the CLI's own, whatever its decoder
// would say, and the pictures after it are converted.
TEST_F(Cli, ConvertsTheRestAfterDamagedPicturesSayingOneLineEach)
{
    QImage picture(120, 90, QImage::Format_RGB32);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            picture.setPixel(x, y, qRgb(x * 2, (x * y) % 256, y * 2));
    const auto cut = [&](const char* name, const char* format) {
        ASSERT_TRUE(picture.save(Path(name), format));
        const std::string whole = Bytes(name);
        PlaceBytes(name, whole.substr(0, whole.size() / 2));
    };
    cut("cut.png", "png");
    cut("cut.tiff", "tiff");
    // Qt decodes this MNG to 0 x 0 pixels and calls it a success.
    const std::string noPixels("\x8aMNG\r\n\x1a\n\x00\x00\x00\x1cMH\xffR\x00\x00N \x00\x00N \x00\x00\x00\x01"
                               "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00"
                               "\x00\x00\x00\x00\x00"
                               "END",
                               55);
    const CliRun run = Run({"--columns", "79", PlaceSample("first.bmp"), PlaceBytes("no-pixels.mng", noPixels),
                            Path("cut.png"), Path("cut.tiff"), PlaceSample("last.bmp")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Exists("first.nfo"));
    EXPECT_TRUE(Exists("last.nfo"));
    const struct {
        const char* picture;
        const char* nfo;
    } damaged[] = {{"no-pixels.mng", "no-pixels.nfo"}, {"cut.png", "cut.nfo"}, {"cut.tiff", "cut.nfo"}};
    for (const auto& d : damaged) {
        EXPECT_FALSE(Exists(d.nfo)) << d.picture;
        EXPECT_NE(run.err.find("ezedudu-cli: " + Path(d.picture).toStdString() + ": corrupt"), std::string::npos)
            << run.err;
    }
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), std::ssize(damaged)) << run.err;
}

// Standard input is held in memory: a stream that never ends is cut off
// where no picture within the pixel limit could still be going on.
TEST_F(Cli, StopsReadingStandardInputThatNeverEnds)
{
    const CliRun run = Run({"-c", "yes | exec \"$0\" --max-megapixels 1 -", EZEDUDU_CLI}, {}, "/bin/sh");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("ezedudu-cli: -: standard input goes on past 71108864 bytes, more than a picture within "
                           "the limit of 1000000 pixels takes"),
              std::string::npos)
        << run.err;
}

TEST_F(Cli, KeepsAnEarlierNfoWhenTheRunFails)
{
    const BitmapPicture black{4, 3, std::vector<std::uint32_t>(12, Grey(0))};
    const std::string plain = EncodeBmp(black, BmpFormat{});
    const std::string runLength = EncodeBmp(black, {BmpEncoding::Rle8});
    // The first is refused when opened, the second only once its rows are
    // read; the third converts, but its preview has nowhere to go.
    const struct {
        std::string bytes;
        QStringList options;
        const char* saying;
    } cases[] = {
        {plain.substr(0, plain.size() - 8), {}, "truncated"},
        {runLength.substr(0, PixelDataOffset(runLength)) + std::string("\x05\x00\x00\x01", 4), {},
         "past the end of line"},
        {plain, {"--preview", "/no/such/folder/art.png"}, "cannot create /no/such/folder/art.png"},
    };
    for (const auto& [bytes, options, saying] : cases) {
        PlaceBytes("logo.nfo", "earlier art\r\n");
        const CliRun run = Run(QStringList(options) << PlaceBytes("logo.bmp", bytes));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(saying), std::string::npos) << run.err;
        EXPECT_EQ(Bytes("logo.nfo"), "earlier art\r\n");
    }
}

TEST_F(Cli, KeepsTheEarlierFilesWhenEitherCannotBeWrittenWhole)
{
    const QString picture = PlaceSample("sample.bmp");
    // A limit under the art's 4,945 bytes, then under only the preview's
    // size; then a preview name too long for any file system.
    const struct {
        rlim_t fileSizeLimit;
        QString preview;
        const char* saying;
    } cases[] = {
        {1024, "art.png", ": cannot write art.nfo: the file would be too large"},
        {16384, "art.png", ": cannot write art.png: the file would be too large"},
        {RLIM_INFINITY, QString(300, 'a') + ".png", ".png: the file name is too long"},
    };
    for (const auto& c : cases) {
        PlaceBytes("art.nfo", "earlier art\r\n");
        PlaceBytes("art.png", "earlier preview");
        const CliRun run = RunPrepared({"-o", "art.nfo", "--preview", c.preview, picture}, [&c](QProcess& process) {
            process.setChildProcessModifier([limit = c.fileSizeLimit] {
                std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
                const rlimit cap{limit, limit};
                setrlimit(RLIMIT_FSIZE, &cap);
            });
        });
        EXPECT_EQ(run.exitCode, 1) << c.saying;
        EXPECT_NE(run.err.find(c.saying), std::string::npos) << run.err;
        EXPECT_EQ(Bytes("art.nfo"), "earlier art\r\n");
        EXPECT_EQ(Bytes("art.png"), "earlier preview");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{"art.nfo", "art.png", "sample.bmp"}));
    }
}

TEST_F(Cli, FindsAndShowsNamesThatAreNotPlainText)
{
    const std::string here = folder.path().toStdString();
    WriteBytes(here + "/n\xFF.bmp", ReadBytes(EZEDUDU_SAMPLE)); // read by our own reader
    ASSERT_TRUE(LoadPicture(EZEDUDU_SAMPLE).save(Path("sample.png")));
    std::filesystem::rename(here + "/sample.png", here + "/q\xFF.png"); // read by Qt
    // QProcess would pass the names as UTF-8; the shell passes their bytes.
    const char* script =
        R"sh(exec "$0" "$(printf 'n\377.bmp')" "$(printf 'q\377.png')" "$(printf '\033[2Jgone\377.bmp')")sh";
    const CliRun run = Run({"-c", script, EZEDUDU_CLI}, {}, "/bin/sh");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReadBytes(here + "/n\xFF.nfo"), Golden("sample.nfo"));
    EXPECT_EQ(ReadBytes(here + "/q\xFF.nfo"), Golden("sample.nfo"));
    EXPECT_EQ(run.err, "ezedudu-cli: \\x1B[2Jgone\\xFF.bmp: no such file\n");
}

TEST_F(Cli, ReportsAnOutputThatCannotBeWritten)
{
    const QString picture = PlaceSample("sample.bmp");
    // /proc takes no new files, not even from root.
    const CliRun run = Run({"-o", "/proc/ezedudu-test.nfo", picture});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot create /proc/ezedudu-test.nfo"), std::string::npos) << run.err;
}

TEST_F(Cli, ReportsAReadOnlyFolder)
{
    const QString picture = PlaceSample("sample.bmp");
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::permissions(folder.path().toStdString(), std::filesystem::perms::owner_read |
                                                                  std::filesystem::perms::owner_exec);
    const CliRun readOnly = Run({picture});
    std::filesystem::permissions(folder.path().toStdString(), std::filesystem::perms::owner_all);
    EXPECT_EQ(readOnly.exitCode, 1);
    EXPECT_FALSE(Exists("sample.nfo"));
}

TEST_F(Cli, SaysWhyAPictureCannotBeRead)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads files and folders without permission";
    QDir(folder.path()).mkdir("closed");
    const struct {
        QString picture;
        QString closed;
        const char* saying;
    } cases[] = {
        {PlaceSample("locked.bmp"), Path("locked.bmp"), "cannot open the file for reading (Permission denied)"},
        {PlaceSample("closed/inside.bmp"), Path("closed"), "cannot read the file (Permission denied)"},
    };
    for (const auto& c : cases) {
        std::filesystem::permissions(c.closed.toStdString(), std::filesystem::perms::none);
        const CliRun run = Run({c.picture});
        std::filesystem::permissions(c.closed.toStdString(), std::filesystem::perms::owner_all);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.saying), std::string::npos) << run.err;
    }
}

TEST_F(Cli, NeverOverwritesThePictureWithItsOwnText)
{
    const std::string bitmap = ReadBytes(EZEDUDU_SAMPLE);
    const CliRun run = Run({PlaceBytes("art.nfo", bitmap)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("refusing to overwrite the picture"), std::string::npos) << run.err;
    EXPECT_EQ(Bytes("art.nfo"), bitmap);

    EXPECT_EQ(Run({"-o", "copy.bmp", PlaceSample("copy.bmp")}).exitCode, 1);
    EXPECT_EQ(Bytes("copy.bmp"), bitmap);

    const QString input = PlaceSample("input.bmp");
    const CliRun fromInput =
        RunPrepared({"-o", "input.bmp", "-"}, [&input](QProcess& process) { process.setStandardInputFile(input); });
    EXPECT_EQ(fromInput.exitCode, 1);
    EXPECT_NE(fromInput.err.find("refusing to overwrite the picture read from standard input"), std::string::npos)
        << fromInput.err;
    EXPECT_EQ(Bytes("input.bmp"), bitmap);
}

TEST_F(Cli, NeverOverwritesWhatAnEarlierPictureOfTheRunWrote)
{
    const QString bitmap = PlaceSample("pic.bmp");
    QImage white(40, 30, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(Path("pic.png")));
    const CliRun run = Run({bitmap, Path("pic.png"), PlaceSample("other.bmp")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(Path("pic.png").toStdString() + ": refusing to overwrite " + Path("pic.nfo").toStdString() +
                           ", written for " + bitmap.toStdString()),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Bytes("pic.nfo"), Golden("sample.nfo"));
    EXPECT_EQ(Bytes("other.nfo"), Golden("sample.nfo"));
}

TEST_F(Cli, RefusesPicturesOverThePixelLimit)
{
    const CliRun run = Run({"--max-megapixels", "1", PlaceBlackBitmap("wide.bmp", 1001, 1000)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("1001 x 1000 pixels, over the limit of 1000000 pixels (raise it with --max-megapixels)"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(Exists("wide.nfo"));
}

// A whole file from a template: fields from a file, --set winning over it,
// the date from SOURCE_DATE_EPOCH, a logo, a box of facts and fitted art.
TEST_F(Cli, ComposesAWholeNfoFromATemplate)
{
    PlaceSample("sample.bmp");
    PlaceBytes("fields.txt", "\xEF\xBB\xBF# the release\r\ngroup=ZOR\ntitle=overridden\n"); // as Notepad saves it
    const QString scene = PlaceBytes("scene.txt", "{{logo ZOR --font standard}}\n"
                                                  "{{center}}\n"
                                                  "{{group}} presents {{title}}\n"
                                                  "{{/center}}\n"
                                                  "{{rule \u2550}}\n"
                                                  "{{box double \"RELEASE\"}}\n"
                                                  "{{facts}}\n"
                                                  "Title: {{title}}\n"
                                                  "Date: {{date}}\n"
                                                  "{{/facts}}\n"
                                                  "{{/box}}\n"
                                                  "{{center}}\n"
                                                  "{{art sample.bmp --columns 30}}\n"
                                                  "{{/center}}\n");
    qputenv("SOURCE_DATE_EPOCH", "99999999999999999"); // past the year 9999: no date, rather than a wrong one
    const CliRun farOff = Run({"--compose", scene, "--fields", Path("fields.txt"), "--set", "title=Ezedudu 3.0"});
    EXPECT_NE(farOff.err.find("SOURCE_DATE_EPOCH must be a whole number of seconds up to the year 9999"),
              std::string::npos) << farOff.err;
    qputenv("SOURCE_DATE_EPOCH", "86400");
    const CliRun run = Run({"--compose", scene, "--fields", Path("fields.txt"), "--set", "title=Ezedudu 3.0"});
    qunsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Bytes("scene.nfo"), Golden("compose-scene.nfo"));

    // A fault is told like a compiler's, and nothing is written.
    PlaceBytes("broken.txt", "fine\n{{box}}\n");
    const CliRun broken = Run({"--compose", Path("broken.txt")});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.err, Path("broken.txt").toStdString() + ":2:1: {{box}} is never closed: expected {{/box}}\n");
    EXPECT_FALSE(Exists("broken.nfo"));
    PlaceBytes("escape.txt", "{{art \x1B[2J.png}}\n"); // names reach the terminal escaped
    EXPECT_EQ(Run({"--compose", Path("escape.txt")}).err,
              Path("escape.txt").toStdString() + ":1:1: \\x1B[2J.png: no such file\n");
    ASSERT_EQ(mkfifo(Path("pipe.flf").toLocal8Bit().constData(), 0600), 0); // refused, never waited on
    PlaceBytes("pipe.txt", "{{logo A --font pipe.flf}}\n");
    EXPECT_NE(Run({"--compose", Path("pipe.txt")}).err.find("pipe.flf: not a font but a folder, a FIFO or a device"),
              std::string::npos);
    PlaceBytes("bad.fields", "group=ZOR\nno value here\n");
    const CliRun badFields = Run({"--compose", scene, "--fields", Path("bad.fields"), "-o", Path("other.nfo")});
    EXPECT_EQ(badFields.exitCode, 1);
    EXPECT_EQ(badFields.err, Path("bad.fields").toStdString() + ":2:1: expected NAME=VALUE\n");
    EXPECT_FALSE(Exists("other.nfo"));
}

// A real code-page-437 NFO goes through byte for byte, but never over itself.
TEST_F(Cli, ComposesACodePage437NfoIntoTheSameBytes)
{
    const QString nfo = PlaceBytes("real.nfo", Golden("sample.nfo"));
    const CliRun copy = Run({"--compose", nfo, "--signature", "none", "--width", "120", "-o", Path("copy.nfo")});
    EXPECT_EQ(copy.exitCode, 0) << copy.err;
    EXPECT_EQ(Bytes("copy.nfo"), Golden("sample.nfo"));

    const CliRun over = Run({"--compose", nfo, "--signature", "none", "--width", "120"});
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_NE(over.err.find("refusing to overwrite"), std::string::npos) << over.err;
    EXPECT_EQ(Bytes("real.nfo"), Golden("sample.nfo"));
}

} // namespace
} // namespace ezedudu
