#include "ezedudu/sauce_record.h"

#include <cstddef>

namespace ezedudu {
namespace {

constexpr std::size_t RecordSize = 128;
constexpr std::size_t CommentCountAt = 104;
constexpr std::string_view RecordId = "SAUCE00";
constexpr std::string_view CommentId = "COMNT";
constexpr std::size_t CommentLineSize = 64;
constexpr char EndOfFile = '\x1A';

} // namespace

std::string_view TextBeforeSauce(std::string_view file)
{
    if (file.size() < RecordSize || file.substr(file.size() - RecordSize, RecordId.size()) != RecordId)
        return file;
    std::string_view text = file.substr(0, file.size() - RecordSize);
    const std::size_t comments = static_cast<unsigned char>(file[file.size() - RecordSize + CommentCountAt]);
    const std::size_t commentBlock = CommentId.size() + comments * CommentLineSize;
    // A count that the bytes before the record do not bear out is ignored,
    // as viewers ignore it.
    if (comments > 0 && text.size() >= commentBlock &&
        text.substr(text.size() - commentBlock, CommentId.size()) == CommentId)
        text.remove_suffix(commentBlock);
    if (!text.empty() && text.back() == EndOfFile)
        text.remove_suffix(1);
    return text;
}

} // namespace ezedudu
