#include "ezedudu/shell_words.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace ezedudu {
namespace {

// The words a POSIX shell makes of the command line, each ended by a NUL.
std::string WordsTheShellReads(const std::string& command)
{
    const std::string script = "printf '%s\\0' " + command;
    const std::unique_ptr<FILE, int (*)(FILE*)> shell(
        popen(("/bin/sh -c " + ShellQuoted(script)).c_str(), "r"), pclose);
    std::string words;
    for (int c; (c = std::fgetc(shell.get())) != EOF;)
        words += char(c);
    return words;
}

// Pasted into a shell, every word arrives as it was: a colour is no comment,
// a command substitution does not run, quotes and line breaks stay.
TEST(ShellWords, EveryWordReachesTheProgramUnchanged)
{
    const struct {
        std::string word;
        std::string quoted;
    } cases[] = {
        {"--columns", "--columns"},
        {"photo_1.2,a:b/c=d+e@f%g", "photo_1.2,a:b/c=d+e@f%g"},
        {"#102030", "'#102030'"},
        {"$(touch pwned) `id` $HOME", "'$(touch pwned) `id` $HOME'"},
        {"it's \"quoted\"", "'it'\\''s \"quoted\"'"},
        {"two words", "'two words'"},
        {"line\nbreak", "'line\nbreak'"},
        {"~/*.bmp", "'~/*.bmp'"},
        {"", "''"},
    };
    std::vector<std::string> words;
    std::string expected;
    for (const auto& c : cases) {
        EXPECT_EQ(ShellQuoted(c.word), c.quoted) << c.word;
        words.push_back(c.word);
        expected += c.word + '\0';
    }
    EXPECT_EQ(WordsTheShellReads(ShellCommand(words)), expected);
}

} // namespace
} // namespace ezedudu
