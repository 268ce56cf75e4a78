#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"

#include "bmp_writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

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

QStringList Entries(const QTemporaryDir& folder)
{
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

TEST(WriteNfoFile, ReplacesAnEarlierFileWhole)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("logo.nfo").toStdString();
    WriteBytes(path, std::string(5000, 'x'));
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    WriteNfoFile(path, "\xDB\r\n");
    EXPECT_EQ(ReadBytes(path), "\xDB\r\n");
    EXPECT_EQ(Entries(folder), QStringList{"logo.nfo"}); // no temporary left
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
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

// Runs body in a child process that may write no file past limit bytes
// (SIGXFSZ ignored, so such a write fails with EFBIG); returns its status.
int ExitStatusUnderFileSizeLimit(rlim_t limit, const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{limit, limit};
        _exit(setrlimit(RLIMIT_FSIZE, &cap) == 0 ? body() : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(OutputFiles, KeepsEveryEarlierFileWhenAWriteFails)
{
    // Over the limit: the first file, or only the second.
    const struct {
        std::size_t art;
        std::size_t preview;
    } cases[] = {{5000, 10}, {10, 5000}};
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const std::string art = folder.filePath("art.nfo").toStdString();
        const std::string preview = folder.filePath("art.png").toStdString();
        WriteBytes(art, "earlier art\r\n");
        WriteBytes(preview, "earlier preview");
        const int status = ExitStatusUnderFileSizeLimit(1024, [&] {
            try {
                OutputFiles files;
                files.Add(art, std::string(c.art, 'x'));
                files.Add(preview, std::string(c.preview, 'y'));
                files.Commit();
                return 1;
            } catch (const Error& error) {
                return std::string(error.what()).find("too large") != std::string::npos ? 0 : 2;
            }
        });
        EXPECT_EQ(status, 0) << "1: no error, 2: another error";
        EXPECT_EQ(ReadBytes(art), "earlier art\r\n");
        EXPECT_EQ(ReadBytes(preview), "earlier preview");
        EXPECT_EQ(Entries(folder), (QStringList{"art.nfo", "art.png"}));
    }
}

TEST(OutputFiles, PutsEveryEarlierFileBackWhenALaterOneCannotTakeItsPlace)
{
    for (const bool artExisted : {true, false}) {
        QTemporaryDir folder;
        const std::string art = folder.filePath("art.nfo").toStdString();
        if (artExisted)
            WriteBytes(art, "earlier art\r\n");
        OutputFiles files;
        files.Add(art, "new art");
        files.Add(folder.filePath("art.png").toStdString(), "new preview");
        // A full folder now stands where the preview goes: its rename fails
        // after the art has taken its place.
        ASSERT_TRUE(QDir(folder.path()).mkpath("art.png/inside"));
        EXPECT_THROW(files.Commit(), Error);
        EXPECT_EQ(Entries(folder), artExisted ? QStringList({"art.nfo", "art.png"}) : QStringList{"art.png"});
        if (artExisted) {
            EXPECT_EQ(ReadBytes(art), "earlier art\r\n");
        }
    }
}

TEST(OutputFiles, WritesIntoAFifoOrADeviceInsteadOfReplacingIt)
{
    QTemporaryDir folder;
    const std::string fifo = folder.filePath("pipe").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // As /dev/stdout leads, through /proc/self/fd/1, to "pipe:[...]", no path.
    int anonymous[2] = {-1, -1};
    ASSERT_EQ(pipe(anonymous), 0);
    const std::string link = folder.filePath("stdout").toStdString();
    ASSERT_EQ(symlink(("/proc/self/fd/" + std::to_string(anonymous[1])).c_str(), link.c_str()), 0);
    // Opened to read first, so that opening the FIFO to write does not wait.
    const int fifoReader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(fifoReader, 0);
    for (const auto& [output, reader] : {std::pair(fifo, fifoReader), std::pair(link, anonymous[0])}) {
        WriteNfoFile(output, "\xDB\r\n");
        char received[8] = {};
        EXPECT_EQ(read(reader, received, sizeof received), 3) << output;
        EXPECT_EQ(std::string(received), "\xDB\r\n");
    }
    for (const int end : {fifoReader, anonymous[0], anonymous[1]})
        close(end);
    struct stat status {};
    ASSERT_EQ(lstat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    if (geteuid() != 0)
        GTEST_SKIP() << "only root makes device nodes";
    // A node with the numbers of /dev/null, made here: never the machine's own.
    const std::string device = folder.filePath("null").toStdString();
    ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    WriteNfoFile(device, "\xDB\r\n");
    ASSERT_EQ(lstat(device.c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_EQ(status.st_rdev, makedev(1, 3));
    EXPECT_EQ(Entries(folder), (QStringList{"null", "pipe", "stdout"}));
}

TEST(OutputFiles, FollowsALinkOnlyWhereTheKernelWould)
{
    const passwd* nobody = getpwnam("nobody");
    const struct {
        bool sharedFolder; // sticky and world-writable, like /tmp
        bool anothersLink;
        bool dangling;
        bool followed;
    } cases[] = {
        {false, false, false, true}, {true, false, false, true}, {false, true, false, true},
        {true, true, false, false},  {true, true, true, false},
    };
    for (const auto& c : cases) {
        if (c.anothersLink && (geteuid() != 0 || nobody == nullptr))
            continue; // only root can give a link to another user
        QTemporaryDir folder;
        ASSERT_TRUE(QDir(folder.path()).mkdir("links"));
        const std::string links = folder.filePath("links").toStdString();
        ASSERT_EQ(chmod(links.c_str(), c.sharedFolder ? 01777 : 0755), 0);
        const std::string victim = folder.filePath("victim").toStdString();
        if (!c.dangling)
            WriteBytes(victim, "victim's own\n");
        const std::string link = links + "/art.nfo";
        ASSERT_EQ(symlink("../victim", link.c_str()), 0);
        if (c.anothersLink) {
            ASSERT_EQ(lchown(link.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        const std::string label = std::string(c.sharedFolder ? "shared" : "own") + " folder, " +
                                  (c.anothersLink ? "another's" : "own") + (c.dangling ? " dangling link" : " link");
        try {
            WriteNfoFile(link, "art");
            EXPECT_TRUE(c.followed) << label;
            EXPECT_EQ(ReadBytes(victim), "art") << label;
        } catch (const Error& error) {
            EXPECT_FALSE(c.followed) << label << ": " << error.what();
            EXPECT_EQ(error.GetKind(), Error::Kind::Refused) << label;
            EXPECT_EQ(QFile::exists(QString::fromStdString(victim)), !c.dangling) << label;
            if (!c.dangling) {
                EXPECT_EQ(ReadBytes(victim), "victim's own\n") << label;
            }
        }
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << label;
    }
}

} // namespace
} // namespace ezedudu
