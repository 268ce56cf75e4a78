#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"

#include "bmp_writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ezedudu {
namespace {

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
