#pragma once

#include <string_view>

namespace ezedudu {

// The text of a file without the SAUCE record that art tools append: the
// 128-byte record that starts "SAUCE00" at the very end, the comment block
// ("COMNT" and 64 bytes a line) its comment count says precedes it, and the
// 0x1A (DOS's end of file) that precedes them both. A file without a record
// is all text.
std::string_view TextBeforeSauce(std::string_view file);

} // namespace ezedudu
