#include "ezedudu/nfo_text.h"
#include "ezedudu/picture_loader.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "reference_nfo.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
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
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(program, arguments);
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
    EXPECT_EQ(run.out, NfoToUtf8(Golden("sample.nfo")));
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
        {{"--width", "0", picture}, "--width takes a whole number from 1 to 1000"},
        {{"--layout", "dos", picture}, "--layout takes nfo, p2p or diz"},
        {{"--check"}, "no file given to --check"},
        {{"--check", "-o", "out.nfo", picture}, "--check writes nothing"},
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

} // namespace
} // namespace ezedudu
