#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ezedudu {

// A FIGlet (.flf) or TOIlet (.tlf) font: each character drawn as a block of
// smaller characters, laid side by side the way FIGlet lays them out by the
// font's own default (full width, fitting, or smushing by the font's rules).
class LogoFont {
public:
    // The most rows and columns one drawn character may have: far beyond any
    // real font, and small enough that a hostile file cannot claim much memory.
    static constexpr int MaxHeight = 256;
    static constexpr int MaxCharacterWidth = 1024;

    // Reads a font from the bytes of its file. The name (a path, or a bundled
    // font's name) starts every message. Sub-characters are UTF-8; a byte that
    // is not part of UTF-8 stands for the Latin-1 character of that value, as
    // in older .flf fonts. The font holds at most a few times the size of its
    // file: four bytes a sub-character and sixteen a character. Throws Error
    // (UnreadableFont) naming NAME:LINE and what was expected there.
    static LogoFont Parse(std::string_view bytes, std::string name);

    const std::string& Name() const { return name; }
    int Height() const { return height; }

    // Text in big letters, laid out as `figlet` (or `toilet`, for .tlf) does
    // with the font's defaults: Height() lines of equal width, at most
    // maxWidth, in Unicode code points, hardblanks drawn as spaces. Empty text gives empty lines. Throws
    // Error (UndrawableText) for a character the font lacks (unless it has a
    // "missing character", code 0) and for a drawing wider than maxWidth.
    std::vector<std::u32string> Draw(std::u32string_view text, int maxWidth) const;

    // The same lines in code page 437 bytes. A sub-character that code page
    // 437 lacks becomes its nearest shape there where one is obvious, and is
    // otherwise refused with Error (UndrawableText) naming the font, the
    // character and why.
    std::vector<std::string> DrawCp437(std::u32string_view text, int maxWidth) const;

private:
    enum class Layout { FullWidth, Fitting, Smushing };

    // One drawn character: Height() rows of `width` sub-characters each,
    // starting at `start` in the font's one buffer of sub-characters.
    struct Character {
        std::int32_t code;
        std::size_t start;
        int width;
    };

    class Line;

    const Character* Find(char32_t code) const;
    std::u32string_view Row(const Character& character, int row) const;

    std::string name;
    int height = 0;
    char32_t hardblank = U'$';
    Layout layout = Layout::FullWidth;
    unsigned smushRules = 0; // horizontal rules 1-6 as bits 1, 2, 4, 8, 16, 32; none means universal
    bool rightToLeft = false;
    std::u32string subCharacters;     // every character's rows, one after another
    std::vector<Character> characters; // sorted by code, one per code
};

// The text of a font compiled into the program, by its name without the
// extension ("standard", "pagga", ...), or nothing for another name.
std::optional<std::string_view> BundledFont(std::string_view name);

// The names of the compiled-in fonts, sorted.
std::span<const std::string_view> BundledFontNames();

} // namespace ezedudu
