#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"

#include "bmp_writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ezedudu {
namespace {

TEST(NfoPathFor, ReplacesTheExtensionBesideThePicture)
{
    const struct {
        const char* picture;
        const char* nfo;
    } cases[] = {
        {"/pics/cat.bmp", "/pics/cat.nfo"},
        {"/pics/CAT.BMP", "/pics/CAT.nfo"},
        {"/pics/cat.jpeg", "/pics/cat.nfo"},
        {"/pics/logo", "/pics/logo.nfo"}, // stays in its folder
        {"/pics/v1.2/logo", "/pics/v1.2/logo.nfo"},
        {"/pics/archive.tar.bmp", "/pics/archive.tar.nfo"},
        {"cat.bmp", "cat.nfo"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NfoPathFor(c.picture), std::filesystem::path(c.nfo)) << c.picture;
}

TEST(WriteNfoFile, ReplacesAnEarlierFileWhole)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("logo.nfo").toStdString();
    WriteBytes(path, std::string(5000, 'x'));
    WriteNfoFile(path, "\xDB\r\n");
    EXPECT_EQ(ReadBytes(path), "\xDB\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"logo.nfo"}); // no temporary left
}

TEST(WriteNfoFile, FailsNamingThePathWhenTheFolderIsMissing)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("missing/logo.nfo").toStdString();
    try {
        WriteNfoFile(path, "text");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.GetKind(), Error::Kind::OutputFailed);
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace ezedudu
