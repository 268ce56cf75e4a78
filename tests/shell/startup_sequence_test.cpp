#include "frmMain.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "qt_printing.h"
#include "scripted_platform.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

namespace ezedudu {
namespace {

const QString FinishedText =
    "File succesfully concerted to nfo!\nYou can find it in the same directory as the bitmap you chose.";

class StartupSequence : public testing::Test {
protected:
    QString Path(const char* name) const { return folder.filePath(name); }
    QString PlaceBlackBitmap(const char* name, int width, int height) const
    {
        const BitmapPicture picture{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, Grey(0))};
        WriteBytes(Path(name).toStdString(), EncodeBmp(picture, BmpFormat{}));
        return Path(name);
    }
    bool Run(const QString& chosen)
    {
        platform.chosenFile = chosen;
        return window.Load();
    }
    QStringList Files() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    frmMain window{platform};
};

TEST_F(StartupSequence, ConvertsThePictureAndSaysFinished)
{
    EXPECT_TRUE(Run(PlaceBlackBitmap("cat.bmp", 7, 7)));
    EXPECT_EQ(platform.dialogFilter, "Bitmaps|*.bmp");
    EXPECT_EQ(platform.dialogTitle, "Input File (Image)");
    EXPECT_TRUE(platform.shown);
    EXPECT_EQ(ReadBytes(Path("cat.nfo").toStdString()),
              "\xDB\xDB\xDB\r\n\xDB\xDB\xDB\r\n\r\n" + std::string(27, ' ') + "-created with tavix's zor ezedudu-\r\n");
    EXPECT_EQ(window.OutputPath, Path("cat.nfo"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, FinishedText);
    EXPECT_EQ(platform.messages[0].title, "Finished");
    EXPECT_EQ(platform.messages[0].style, MessageStyle::Information);
    EXPECT_EQ(int(platform.messages[0].style), 64);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(StartupSequence, ReportsACancelledDialogOrAMissingFile)
{
    for (const QString& chosen : {QString(), Path("typed-but-missing.bmp"), folder.path()}) {
        ScriptedPlatform freshPlatform;
        frmMain freshWindow(freshPlatform);
        freshPlatform.chosenFile = chosen;
        EXPECT_FALSE(freshWindow.Load());
        ASSERT_EQ(freshPlatform.messages.size(), 1u) << chosen.toStdString();
        EXPECT_EQ(freshPlatform.messages[0].text, "The file doesn't exist....!");
        EXPECT_EQ(freshPlatform.messages[0].title, "Error:");
        EXPECT_EQ(int(freshPlatform.messages[0].style), 16);
        EXPECT_FALSE(freshPlatform.shown);
        EXPECT_GE(freshPlatform.closes, 1);
    }
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(StartupSequence, EndsQuietlyWhenThePictureCannotBeRead)
{
    WriteBytes(Path("x.bmp").toStdString(), "this text file only carries a bitmap's name\n");
    EXPECT_FALSE(Run(Path("x.bmp")));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(platform.shown);
    EXPECT_GE(platform.closes, 1);
    EXPECT_EQ(Files(), QStringList{"x.bmp"});
}

TEST_F(StartupSequence, EndsQuietlyWhenTheNfoCannotBeWritten)
{
    // A folder where the file should go stops the write, even for root.
    QDir(folder.path()).mkdir("blocked.nfo");
    EXPECT_FALSE(Run(PlaceBlackBitmap("blocked.bmp", 7, 7)));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFileInfo(Path("blocked.nfo")).isDir());
    EXPECT_EQ(Files(), (QStringList{"blocked.bmp", "blocked.nfo"}));
}

TEST_F(StartupSequence, ClosingDuringTheConversionCancelsIt)
{
    // A large picture, and ones without cells, which the engine walks without asking.
    for (const auto& [name, width, height] : {std::tuple{"big.bmp", 600, 900}, {"thin.bmp", 1, 9}, {"flat.bmp", 9, 2}}) {
        ScriptedPlatform freshPlatform;
        frmMain freshWindow(freshPlatform);
        freshPlatform.duringConversion = [&freshWindow] { freshWindow.close(); };
        freshPlatform.chosenFile = PlaceBlackBitmap(name, width, height);
        EXPECT_FALSE(freshWindow.Load()) << name;
        EXPECT_GE(freshPlatform.eventBreaks, 1) << name;
        EXPECT_TRUE(freshPlatform.messages.empty()) << name; // no "Finished"
        EXPECT_FALSE(freshWindow.isVisible()) << name;
    }
    EXPECT_EQ(Files(), (QStringList{"big.bmp", "flat.bmp", "thin.bmp"}));
}

TEST_F(StartupSequence, ConvertsAGivenPictureWithoutTheDialog)
{
    const std::string black7x7 = "\xDB\xDB\xDB\r\n\xDB\xDB\xDB\r\n";
    const struct {
        const char* name;
        QStringList options;
        bool written;
        std::string lines;
    } cases[] = {
        {"plain", {}, true, black7x7},
        {"inverted, 2 columns", {"--invert", "--columns", "2"}, true, "  \r\n"}, // 7 x 7 at 2 columns: 1 row
        {"missing", {}, false, ""},
    };
    for (const auto& c : cases) {
        const QString picture = c.written ? PlaceBlackBitmap("given.bmp", 7, 7) : Path("missing.bmp");
        ProgramArguments arguments("ezedudu", ArtOptionSet::Conversion);
        StartupRequest request;
        ASSERT_EQ(ParseStartupArguments(arguments, QStringList{"ezedudu"} << c.options << picture, request), "")
            << c.name;
        ScriptedPlatform freshPlatform;
        frmMain freshWindow(freshPlatform, request);
        EXPECT_EQ(freshWindow.Load(), c.written) << c.name;
        EXPECT_TRUE(freshPlatform.dialogTitle.isEmpty()) << c.name << ": the dialog was shown";
        ASSERT_EQ(freshPlatform.messages.size(), 1u) << c.name;
        EXPECT_EQ(freshPlatform.messages[0].title, c.written ? "Finished" : "Error:") << c.name;
        if (c.written) {
            EXPECT_EQ(ReadBytes(Path("given.nfo").toStdString()),
                      c.lines + "\r\n" + std::string(27, ' ') + "-created with tavix's zor ezedudu-\r\n")
                << c.name;
        }
    }
}

TEST(StartupArguments, TakeOnePictureAndTheConversionOptions)
{
    const struct {
        QStringList arguments;
        std::string saying;
        std::optional<QString> picture;
        std::optional<std::int64_t> columns;
    } cases[] = {
        {{"ezedudu"}, "", std::nullopt, std::nullopt},
        {{"ezedudu", "--columns", "79", "--dither", "ordered", "x.bmp"}, "", QDir::current().absoluteFilePath("x.bmp"), 79},
        {{"ezedudu", "a.bmp", "b.bmp"}, "one picture at most", std::nullopt, std::nullopt},
        {{"ezedudu", "--gamma", "0"}, "--gamma takes a number from 0.1 to 10", std::nullopt, std::nullopt},
        {{"ezedudu", "--preview-theme", "dark"}, "Unknown option 'preview-theme'.", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        ProgramArguments arguments("ezedudu", ArtOptionSet::Conversion);
        StartupRequest request;
        EXPECT_EQ(ParseStartupArguments(arguments, c.arguments, request), c.saying);
        EXPECT_EQ(request.picture, c.picture) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.options.columns, c.columns) << c.arguments.join(' ').toStdString();
    }
}

TEST_F(StartupSequence, OverwritesAnEarlierNfo)
{
    WriteBytes(Path("cat.nfo").toStdString(), "earlier");
    EXPECT_TRUE(Run(PlaceBlackBitmap("cat.bmp", 4, 3)));
    EXPECT_EQ(ReadBytes(Path("cat.nfo").toStdString()).substr(0, 4), "\xB2\xB1\r\n");
}

} // namespace
} // namespace ezedudu
