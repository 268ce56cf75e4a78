#include "ezedudu/shell_words.h"

#include <algorithm>

namespace ezedudu {
namespace {

bool IsPlain(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("_.,:/=+@%-").find(c) != std::string_view::npos;
}

} // namespace

std::string ShellQuoted(std::string_view word)
{
    if (!word.empty() && std::all_of(word.begin(), word.end(), IsPlain))
        return std::string(word);
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string_view("'\\''") : std::string_view(&c, 1);
    return quoted + "'";
}

std::string ShellCommand(std::span<const std::string> words)
{
    std::string command;
    for (const std::string& word : words) {
        if (!command.empty())
            command += ' ';
        command += ShellQuoted(word);
    }
    return command;
}

} // namespace ezedudu
