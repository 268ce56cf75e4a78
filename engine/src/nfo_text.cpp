#include "ezedudu/nfo_text.h"

namespace ezedudu {

std::filesystem::path NfoPathFor(const std::filesystem::path& picture)
{
    std::filesystem::path nfo = picture;
    nfo.replace_extension(".nfo");
    return nfo;
}

std::string NfoToUtf8(std::string_view nfo)
{
    std::string utf8;
    utf8.reserve(nfo.size() * 3);
    for (const char byte : nfo) {
        switch (static_cast<unsigned char>(byte)) {
        case 219: utf8 += "\u2588"; break;
        case 178: utf8 += "\u2593"; break;
        case 177: utf8 += "\u2592"; break;
        case 176: utf8 += "\u2591"; break;
        default: utf8 += byte; break;
        }
    }
    return utf8;
}

} // namespace ezedudu
