#include "ezedudu/display_path.h"
#include "ezedudu/qt_path.h"

#include <gtest/gtest.h>

namespace ezedudu {
namespace {

TEST(DisplayPath, EscapesWhatATerminalWouldObey)
{
    const struct {
        const char* name;
        const char* shown;
    } cases[] = {
        {"plain/photo.bmp", "plain/photo.bmp"},
        {"caf\xC3\xA9 \xE2\x96\x88.bmp", "caf\xC3\xA9 \xE2\x96\x88.bmp"}, // UTF-8 stays
        {"\x1B[2Jwiped.bmp", "\\x1B[2Jwiped.bmp"},
        {"line\nbreak\r\t.bmp", "line\\x0Abreak\\x0D\\x09.bmp"},
        {"del\x7F", "del\\x7F"},
        {"c1\xC2\x9B" "31m", "c1\\xC2\\x9B31m"},                // CSI as a C1 character
        {"gpj.\xE2\x80\xAE" "bmp", "gpj.\\xE2\\x80\\xAEbmp"},  // right-to-left override
        {"latin1 \xFF.bmp", "latin1 \\xFF.bmp"},               // not UTF-8
        {"cut \xE2\x96", "cut \\xE2\\x96"},
        {"overlong \xC0\xAF", "overlong \\xC0\\xAF"},
        {"five-byte lead \xFB\xBF\xBF\xBF", "five-byte lead \\xFB\\xBF\\xBF\\xBF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DisplayPath(c.name), c.shown) << c.shown;
}

TEST(QtPath, KeepsEveryByteOfANameThroughQt)
{
    for (const char* name : {"plain.bmp", "caf\xC3\xA9.bmp", "n\xFF.bmp", "\xED\xB2\x80 surrogate.bmp",
                             "\xF0\x9F\x98\x80 emoji.bmp", "cut \xE2\x96",
                             "five-byte lead \xFB\xBF\xBF\xBF"}) {
        EXPECT_EQ(ToPath(ToQString(name)), std::filesystem::path(name)) << DisplayPath(name);
        char* argv[] = {const_cast<char*>("ezedudu-cli"), const_cast<char*>(name)};
        EXPECT_EQ(ToPath(ArgumentsOf(2, argv).at(1)), std::filesystem::path(name)) << DisplayPath(name);
    }
    EXPECT_EQ(ToQString("caf\xC3\xA9.bmp"), QStringLiteral("caf\u00E9.bmp"));
}

} // namespace
} // namespace ezedudu
