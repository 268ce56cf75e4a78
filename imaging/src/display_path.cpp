#include "ezedudu/display_path.h"

#include "ezedudu/utf8.h"

namespace ezedudu {
namespace {

bool Harmless(char32_t code)
{
    const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
    const bool reordering = (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
    return !control && !reordering;
}

} // namespace

std::string DisplayText(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = DecodeUtf8Character(text, at);
        const std::size_t taken = character.length == 0 ? 1 : character.length;
        if (character.length != 0 && Harmless(character.codePoint)) {
            shown.append(text.substr(at, taken));
        } else {
            for (const char byte : text.substr(at, taken)) {
                const auto value = static_cast<unsigned char>(byte);
                shown += {'\\', 'x', hex[value >> 4], hex[value & 0xF]};
            }
        }
        at += taken;
    }
    return shown;
}

std::string DisplayPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    const std::u8string name = path.u8string();
    return DisplayText(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
#else
    return DisplayText(path.native());
#endif
}

} // namespace ezedudu
