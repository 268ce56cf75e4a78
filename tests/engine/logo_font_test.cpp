// Logo fonts: the reader's errors, and drawings checked against FIGlet and
// TOIlet themselves (run on the same font file) rather than against
// expectations written down from our own code.
#include "ezedudu/logo_font.h"

#include "ezedudu/cp437.h"
#include "ezedudu/error.h"
#include "ezedudu/utf8.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace ezedudu;
using Lines = std::vector<std::string>;

std::u32string Decoded(std::string_view utf8)
{
    return DecodeUtf8(utf8).codePoints;
}

Lines Utf8Lines(const std::vector<std::u32string>& rows)
{
    Lines lines;
    for (const std::u32string& row : rows) {
        std::string& line = lines.emplace_back();
        for (const char32_t c : row)
            AppendUtf8(line, c);
    }
    return lines;
}

// A font two rows high whose required characters are empty unless given,
// followed by code-tagged characters; every row ends in one endmark, the
// last in two, as fonts are written.
std::string TwoRowFont(const std::string& header, const std::map<char, std::array<std::string, 2>>& glyphs,
                       const std::vector<std::pair<std::string, std::array<std::string, 2>>>& tagged = {})
{
    std::string font = header + "\n";
    const auto add = [&](const std::array<std::string, 2>& rows) { font += rows[0] + "@\n" + rows[1] + "@@\n"; };
    for (int code = 32; code < 127; ++code) {
        const auto found = glyphs.find(char(code));
        add(found != glyphs.end() ? found->second : std::array<std::string, 2>{"", ""});
    }
    for (int german = 0; german < 7; ++german)
        add({"", ""});
    for (const auto& [tag, rows] : tagged) {
        font += tag + "\n";
        add(rows);
    }
    return font;
}

std::string WithCrLf(const std::string& text)
{
    std::string crlf;
    for (const char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

// Sub-characters that meet under every smushing rule.
const std::map<char, std::array<std::string, 2>> ruleGlyphs = {
    {' ', {"$$", "$$"}},   {'A', {"/\\ ", "|| "}}, {'B', {"|\\", "|/"}}, {'x', {"<>", "><"}},
    {'y', {"\\/", "/\\"}}, {'[', {"[ ", "[_"}},    {']', {" ]", "_]"}},  {'(', {"( ", "(_"}},
    {')', {" )", "_)"}},   {'{', {"{_", "{ "}},    {'}', {"_}", " }"}},  {'_', {"  ", "__"}},
    {'i', {"i", "|"}},     {'C', {"  (", " _ "}},  {'h', {"$|", "|$"}},  {'?', {"??", "??"}},
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// What FIGlet (for .flf) or TOIlet (for .tlf) draws for text in the font at
// path, at a width that never wraps, left-aligned whatever the direction.
Lines PeerDrawing(const std::filesystem::path& path, const std::string& text)
{
    const std::string command =
        path.extension() == ".tlf"
            ? "toilet -w 100000 -d " + Quoted(path.parent_path()) + " -f " + Quoted(path.filename()) + " -- " + Quoted(text)
            : "figlet -w 100000 -l -C utf8 -f " + Quoted(path) + " -- " + Quoted(text);
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    std::array<char, 4096> buffer;
    for (std::size_t got; pipe && (got = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;)
        output.append(buffer.data(), got);
    Lines lines;
    for (std::size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(output.substr(start, end - start));
    return lines;
}

struct TemporaryFolder {
    TemporaryFolder() : path(std::filesystem::temp_directory_path() / ("logo-font-test-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(path);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

std::string AllPrintableAscii()
{
    std::string text;
    for (char c = ' '; c <= '~'; ++c)
        text += c;
    return text;
}

struct PeerCase {
    const char* font; // a bundled font, or a file name given in madeFonts
    std::string text;
};

TEST(LogoFontDrawing, EqualsThePeersDrawingOfTheSameFont)
{
    const std::map<std::string, std::string> madeFonts = {
        {"smushing-rules.flf", TwoRowFont("flf2a$ 2 2 8 63 0 0 191 0", ruleGlyphs)},
        {"universal.flf", TwoRowFont("flf2a$ 2 2 8 0 0 0 128 0", ruleGlyphs)},
        {"fitting.flf", TwoRowFont("flf2a$ 2 2 8 0 0 0 64 0", ruleGlyphs)},
        {"full-width.flf", TwoRowFont("flf2a$ 2 2 8 -1 0 0 0 0", ruleGlyphs)},
        {"old-layout-only.flf", TwoRowFont("flf2a$ 2 2 8 15 0", ruleGlyphs)},
        {"right-to-left.flf", TwoRowFont("flf2a$ 2 2 8 0 0 1 128 0", ruleGlyphs)},
        {"crlf-line-ends.flf", WithCrLf(TwoRowFont("flf2a$ 2 2 8 63 0 0 191 0", ruleGlyphs))},
        {"code-tags.flf", TwoRowFont("flf2a# 2 2 8 0 0 0 64 4", {{'A', {"A ", "AA"}}},
                                     {{"0x263a  WHITE SMILING FACE", {"\\o/", "/ \\"}},
                                      {"0101 octal, replacing A", {"#A#", "#A#"}},
                                      {"-0x2  a table", {"T", "T"}},
                                      {"0  the missing character", {"[?]", "[?]"}}})},
    };
    const std::vector<PeerCase> cases = {
        {"standard", AllPrintableAscii()}, {"standard", "Ezedudu 3.0 - Tavix's ZOR"},
        {"big", AllPrintableAscii()},      {"slant", AllPrintableAscii()},
        {"banner", AllPrintableAscii()},   {"pagga", AllPrintableAscii()},
        {"mono9", AllPrintableAscii()},    {"mono12", "NFO Größe"},
        {"standard", "Größe ÄÖÜ"},
        {"smushing-rules.flf", "AB ABA xyx [] ][ () )( {} }{ _A_ [_] iAi CC h h"},
        {"universal.flf", "AB ABA xyx [] ][ () {} _A_ iAi CC h h"},
        {"fitting.flf", "AB ABA xyx [] CC h h"},
        {"full-width.flf", "AB xyx CC"},
        {"old-layout-only.flf", "AB ABA xyx [] ][ () CC h h"},
        {"right-to-left.flf", "AB ABA xyx CC h"},
        {"crlf-line-ends.flf", "AB xyx h h"},
        {"code-tags.flf", "A☺B"},
    };

    const TemporaryFolder folder;
    for (const auto& [fileName, text] : madeFonts)
        std::ofstream(folder.path / fileName, std::ios::binary) << text;
    for (const PeerCase& check : cases) {
        SCOPED_TRACE(std::string(check.font) + ": " + check.text);
        const auto made = madeFonts.find(check.font);
        const bool bundled = made == madeFonts.end();
        const std::string bytes(bundled ? *BundledFont(check.font) : made->second);
        // A font file's extension is its signature: flf or tlf.
        std::filesystem::path path = folder.path / check.font;
        if (bundled)
            path = (std::filesystem::path(EZEDUDU_FONT_DIR) / check.font).replace_extension(bytes.substr(0, 3));
        const LogoFont font = LogoFont::Parse(bytes, check.font);
        const Lines expected = PeerDrawing(path, check.text);
        ASSERT_FALSE(expected.empty()) << "FIGlet and TOIlet must be installed (scripts/install-deps)";
        EXPECT_EQ(Utf8Lines(font.Draw(Decoded(check.text), 100000)), expected);
    }
}

TEST(LogoFontDrawing, RefusesWhatItCannotDrawAndSaysWhy)
{
    const LogoFont standard = LogoFont::Parse(*BundledFont("standard"), "standard");
    const int width = int(standard.Draw(U"Ezedudu", 1000)[0].size());
    EXPECT_EQ(standard.DrawCp437(U"Ezedudu", width)[0].size(), std::size_t(width));

    const LogoFont blocks = LogoFont::Parse(TwoRowFont("tlf2a$ 2 2 8 -1 0 0 0 0",
                                                       {{'h', {"━┓", "▘▙"}}, {'d', {"▚ ", "  "}}, {'n', {"♪", " "}}}),
                                            "blocks.tlf");
    EXPECT_EQ(blocks.DrawCp437(U"h", 80), (Lines{"\xC4\xBF", "\xDF\xDC"})); // ─┐ ▀▄

    const struct {
        const LogoFont& font;
        std::u32string text;
        int maxWidth;
        std::string message;
    } cases[] = {
        {standard, U"Ezedudu", width - 1,
         "standard: \"Ezedudu\" drawn in this font is wider than the " + std::to_string(width - 1) + " columns available"},
        {standard, U"a☺", 80, "standard: the font has no character '☺' (U+263A)"},
        {blocks, U"hd", 80, "blocks.tlf: the font draws '▚' (U+259A), which code page 437 lacks"},
        {blocks, U"n", 80, "blocks.tlf: the font draws '♪' (U+266A), whose code page 437 byte a viewer takes for a control code"},
    };
    for (const auto& refused : cases) {
        SCOPED_TRACE(refused.message);
        try {
            refused.font.DrawCp437(refused.text, refused.maxWidth);
            ADD_FAILURE() << "drawn";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetKind(), Error::Kind::UndrawableText);
            EXPECT_EQ(std::string(error.what()).substr(0, refused.message.size()), refused.message);
        }
    }
}

TEST(LogoFontReader, NamesTheLineAndWhatItExpected)
{
    const std::string good = TwoRowFont("flf2a$ 2 2 8 0 0", {{'A', {"ab", "cd"}}});
    const std::size_t rowsOfA = good.find("ab@");
    const struct {
        const char* fault;
        std::string font;
        std::string message;
    } cases[] = {
        {"not a font", "just words\n", "f:1: expected a FIGlet or TOIlet font"},
        {"zip-compressed", std::string("PK\x03\x04", 4) + "packed", "f:1: the font is zip-compressed"},
        {"height 0", "flf2a$ 0 2 8 0 0\n", "f:1: expected the height from 1 to 256, found 0"},
        {"height beyond the bound", "flf2a$ 100000 2 8 0 0\n", "f:1: expected the height from 1 to 256, found 100000"},
        {"header cut short", "flf2a$ 2 2\n", "f:1: expected the maximum line length (a whole number) in the header, "
                                             "found the end of the line"},
        {"layout out of range", "flf2a$ 2 2 8 64 0\n", "f:1: expected the old layout from -1 to 63, found 64"},
        {"blank hardblank", "flf2a  2 2 8 0 0\n", "f:1: expected a hardblank character"},
        {"comments missing", "flf2a$ 2 2 8 0 3\none\n", "f:3: expected 2 more comment lines"},
        {"ends inside a character", good.substr(0, rowsOfA + 4), "f:69: expected row 2 of the character 'A' (code 65)"},
        {"rows of two widths", good.substr(0, rowsOfA) + "ab@\ncde@@\n", "f:69: expected 2 columns before the endmark "
                                                                          "in this row of the character 'A' (code 65), as "
                                                                          "in its first row, found 3"},
        {"too wide", good.substr(0, rowsOfA) + std::string(1025, 'w') + "@\n",
         "f:68: the character 'A' (code 65) is wider than 1024 columns"},
        {"code tag not a number", good + "U+263A\n", "f:206: expected a character code"},
        {"code tag -1", good + "-1 forbidden\n:)@\n:)@@\n", "f:206: expected a character code"},
        {"code tag with two signs", good + "--65\n:)@\n:)@@\n", "f:206: expected a character code"},
        {"tagged character cut short", good + "0x263A\n:)@\n", "f:208: expected row 2 of the character with code 9786"},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.fault);
        try {
            LogoFont::Parse(bad.font, "f");
            ADD_FAILURE() << "parsed";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetKind(), Error::Kind::UnreadableFont);
            EXPECT_EQ(std::string(error.what()).substr(0, bad.message.size()), bad.message);
        }
    }
}

TEST(BundledFonts, AreTheSevenNamedAndDrawEveryCharacterInCodePage437)
{
    const std::vector<std::string_view> names(BundledFontNames().begin(), BundledFontNames().end());
    EXPECT_EQ(names, (std::vector<std::string_view>{"banner", "big", "mono12", "mono9", "pagga", "slant", "standard"}));
    EXPECT_FALSE(BundledFont("doom"));
    for (const std::string_view name : names) {
        const LogoFont font = LogoFont::Parse(*BundledFont(name), std::string(name));
        int drawn = 0;
        // The fonts keep only characters code page 437 can write.
        for (int byte = 32; byte < 256; ++byte) {
            try {
                font.DrawCp437(std::u32string(1, Cp437ToUnicode(std::uint8_t(byte))), 1000);
                ++drawn;
            } catch (const Error& error) {
                ASSERT_NE(std::string(error.what()).find("has no character"), std::string::npos) << error.what();
            }
        }
        EXPECT_GE(drawn, 102) << name;
    }
}

} // namespace
