#include "ezedudu/nfo_text.h"
#include "ezedudu/picture_loader.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "reference_nfo.h"

#include <QFile>
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
    CliRun Run(const QStringList& arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(EZEDUDU_CLI, arguments);
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
    const QStringList cases[] = {
        {},
        {"--no-such-option", picture},
        {"-o", "out.nfo", picture, picture},
        {"--max-megapixels", "0", picture},
        {"--max-megapixels", "lots", picture},
    };
    for (const QStringList& arguments : cases) {
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err.rfind("ezedudu-cli: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(Exists("sample.nfo"));
}

TEST_F(Cli, AnswersHelpAndVersion)
{
    const CliRun help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("PICTURE..."), std::string::npos);
    EXPECT_NE(help.out.find("--utf8"), std::string::npos);
    const CliRun version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "ezedudu-cli 2.00.0001\n");
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
    // The first is refused when opened, the second only once its rows are read.
    const std::pair<std::string, const char*> cases[] = {
        {plain.substr(0, plain.size() - 8), "truncated"},
        {runLength.substr(0, PixelDataOffset(runLength)) + std::string("\x05\x00\x00\x01", 4), "past the end of line"},
    };
    for (const auto& [bytes, saying] : cases) {
        PlaceBytes("logo.nfo", "earlier art\r\n");
        const CliRun run = Run({PlaceBytes("logo.bmp", bytes)});
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
