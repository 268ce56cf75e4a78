#pragma once

#include "ezedudu/conversion_options.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ezedudu {

struct TemplatePosition {
    std::int64_t line = 1;
    std::int64_t column = 1;
};

// A run of a text line: characters as written, or a field's name.
struct TextPiece {
    bool field = false;
    std::u32string text;
    TemplatePosition at;
};

struct TextLine {
    std::vector<TextPiece> pieces;
};

enum class BlockKind { Center, Right, Box, Wrap, Facts };
enum class BoxStyle { Single, Double, Block };

struct TemplateNode;

// Lines between a directive and its closing one.
struct Block {
    BlockKind kind = BlockKind::Center;
    BoxStyle style = BoxStyle::Single;
    std::u32string title;
    std::vector<TemplateNode> children;
};

struct ArtDirective {
    std::string picture; // UTF-8
    ArtSettings settings;
};

struct LogoDirective {
    std::u32string text;
    std::string font; // UTF-8: a bundled font's name or a file
};

struct RuleDirective {
    std::u32string pattern;
};

struct TemplateNode {
    TemplatePosition at;
    std::variant<TextLine, Block, ArtDirective, LogoDirective, RuleDirective> content;
};

// The template's lines: UTF-8, or else code page 437 with every byte but
// CR, LF and tab its glyph. Lines end in LF or CR LF. Throws TemplateError
// for a CR that ends no line.
std::vector<std::u32string> TemplateLines(std::string_view bytes);

// The template as a tree of directives and text lines. Throws TemplateError
// naming where a directive is malformed, misplaced or left open.
std::vector<TemplateNode> ParseTemplate(const std::vector<std::u32string>& lines);


} // namespace ezedudu
