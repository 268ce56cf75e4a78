#pragma once

#include "template_parser.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The blocks a template lays its text out in, drawn from text already in
// code-page-437 cells: alignment, boxes, wrapped paragraphs, facts and
// rules. A block that cannot fit its width throws TemplateError at the
// position it is given.
namespace ezedudu {

// A few lines laid out together: one line of text, or what a directive
// made (art, a logo, a box, facts, a rule), whose lines move as one when
// aligned.
struct Piece {
    std::vector<std::string> lines; // code-page-437 cells
    bool whole = false;
};

// "1 column", "12 columns".
std::string Columns(std::int64_t count);

// The columns a viewer gives cells that start a line: a tab reaches the
// next multiple of 8.
std::int64_t ShownWidth(std::string_view cells);

// The cells without the spaces around them.
std::string_view Trimmed(std::string_view cells);

// The piece centred or set right in width: a line of text trimmed first,
// what a directive made moved as a whole.
Piece Aligned(Piece piece, std::int64_t width, bool centred);

// The width inside a box width wide.
std::int64_t BoxInnerWidth(std::int64_t width, TemplatePosition at);

// A box's top edge with its title set in it, or none when the title is empty.
std::string BoxTop(BoxStyle style, std::string_view title, std::int64_t width, TemplatePosition at);

// The box: its top, the lines inside (no wider than BoxInnerWidth) framed,
// and its bottom edge.
Piece Boxed(BoxStyle style, std::string top, const std::vector<Piece>& inside, std::int64_t width);

// Blank-line-separated paragraphs reflowed to a width, fed a line at a time.
class Paragraphs {
public:
    Paragraphs(std::int64_t width, TemplatePosition at) : fillWidth(width), paragraphAt(at) {}

    void Add(std::string_view cells, TemplatePosition at);

    std::vector<std::string> Finish() &&;

private:
    void FinishParagraph();

    std::int64_t fillWidth;
    TemplatePosition paragraphAt;
    std::string paragraph;
    std::vector<std::string> lines;
};

// A fact's key and value, split at the first ':' the template writes.
struct Fact {
    std::string key;
    std::string value;
    TemplatePosition at;
};

// Facts as two columns with dot leaders between, a long value wrapped
// under itself; an empty line for each fact that is none.
std::vector<std::string> FactLines(const std::vector<std::optional<Fact>>& facts, std::int64_t width);

// A pattern of cells repeated across the width.
std::string RuleLine(std::string_view pattern, std::int64_t width);

} // namespace ezedudu
