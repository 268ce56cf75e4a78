#pragma once

#include <span>
#include <string>
#include <string_view>

namespace ezedudu {

// The word as a POSIX shell reads it back unchanged: as it is when it holds
// only letters, digits and _.,:/=+@%-, otherwise in single quotes (a quote
// inside written '\''). Nothing in it is expanded: not #, $, `, ~, * nor a
// line break.
std::string ShellQuoted(std::string_view word);

// The words quoted and joined by spaces: a command line to paste into a shell.
std::string ShellCommand(std::span<const std::string> words);

} // namespace ezedudu
