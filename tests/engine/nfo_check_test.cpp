#include "ezedudu/nfo_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ezedudu {
namespace {

// A SAUCE record as art tools append it: 0x1A, a comment block of one line,
// then the 128-byte record whose byte 104 counts the comment lines.
std::string WithSauce(std::string text)
{
    std::string record = "SAUCE00" + std::string(35, 'T') + std::string(86, '\0');
    record[104] = 1;
    return text + '\x1A' + "COMNT" + std::string(64, 'c') + record;
}

std::string Lines(int count, std::string_view line)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(line) + "\r\n";
    return text;
}

std::string Shown(const CheckFinding& finding)
{
    return std::to_string(finding.line) + ":" + std::to_string(finding.column) + ": " +
           (finding.severity == CheckSeverity::Warning ? "warning: " : "") + finding.message;
}

// Each finding as the CLI prints it, up to the length of what is expected.
TEST(CheckNfo, FindsWhatAViewerWouldNotShowRight)
{
    const PageShape nfo{80, std::nullopt};
    const PageShape diz{45, 10};
    const struct {
        const char* name;
        std::string file;
        PageShape page;
        std::vector<std::string> expected;
    } cases[] = {
        {"empty", "", nfo, {}},
        {"pictures and CP437 art", "\x10 Title \x11\r\n\x01\xDB\xB2\xC9\xCD\xBB\r\n", nfo, {}},
        {"a SAUCE record with a comment", WithSauce(Lines(2, "\xDB\xDB")), nfo, {}},
        {"a SAUCE record alone", Lines(1, "x") + "SAUCE00" + std::string(121, '\x1A'), nfo, {}},
        {"an end-of-file mark at the end", "abc\r\n\x1A", nfo, {}},
        {"an end-of-file mark before text", "abc\x1A\r\nhidden\x1A\r\n", nfo,
         {"1:4: 0x1A (DOS's end of file) before the end: viewers show nothing after it"}},
        {"UTF-8", "ok\r\n \xE2\x96\x88\xE2\x96\x88\r\n", nfo,
         {"2:2: the file is UTF-8: viewers read code page 437 and show '\u2588' as '\u0393\u00FB\u00EA'"}},
        {"a line as wide as the page", Lines(1, std::string(80, 'x')), nfo, {}},
        {"a line one column too wide", Lines(2, std::string(81, 'x')), nfo,
         {"1:81: the line is 81 columns wide, more than 80", "2:81: the line is 81"}},
        {"a DIZ of ten lines", Lines(10, std::string(45, 'x')), diz, {}},
        {"a DIZ too long and too wide", Lines(11, "x") + std::string(46, 'x'), diz,
         {"11:1: 12 lines, more than the 10 the layout allows", "12:46: the line is 46 columns wide, more than 45"}},
        {"mixed line ends", "a\r\nb\nc\r\n", nfo, {"2:2: line ends are mixed: this one is LF alone, line 1's CR LF"}},
        {"LF alone", "a\nbc\n", nfo, {"1:2: warning: line ends are LF alone: DOS and Windows viewers expect CR LF"}},
        {"CR alone", "a\rb\r", nfo, {"1:2: a line ends in CR alone"}},
        {"escapes and a bell", "\x1B[1mX\x1B\x07\r\n", nfo,
         {"1:1: an ANSI escape sequence (ESC [)", "1:6: ESC (byte 27): viewers act on it instead of showing \u2190",
          "1:7: BEL (byte 7)"}},
        {"tabs and spaces at line ends, each said once", "a\tb \r\n\tc  \r\nd\r\n", nfo,
         {"1:2: warning: a tab: viewers differ in how far it reaches, spaces do not (2 tabs in all)",
          "1:4: warning: spaces at the end of the line: viewers show none, and they make the file bigger (2 lines "
          "in all)"}},
    };
    for (const auto& c : cases) {
        const std::vector<CheckFinding> findings = CheckNfo(c.file, c.page);
        ASSERT_EQ(findings.size(), c.expected.size()) << c.name << (findings.empty() ? "" : ": " + Shown(findings[0]));
        for (std::size_t i = 0; i < findings.size(); ++i)
            EXPECT_EQ(Shown(findings[i]).substr(0, c.expected[i].size()), c.expected[i]) << c.name;
    }
}

// A file of escape bytes alone would take many times its size in findings.
TEST(CheckNfo, ListsTheFirstThousandProblemsAndCountsTheRest)
{
    const std::vector<CheckFinding> findings = CheckNfo(std::string(1500, '\x07'), {2000, std::nullopt});
    ASSERT_EQ(findings.size(), 1001u);
    EXPECT_EQ(Shown(findings.back()), "1:1001: 500 more problems from here on, not listed");
}

} // namespace
} // namespace ezedudu
