#include "text_blocks.h"

#include "ezedudu/compose.h"
#include "ezedudu/cp437.h"

#include <algorithm>

namespace ezedudu {
namespace {

struct BoxEdges {
    char topLeft, top, topRight, side, bottomLeft, bottom, bottomRight;
};

BoxEdges EdgesOf(BoxStyle style)
{
    switch (style) {
    case BoxStyle::Double:
        return {'\xC9', '\xCD', '\xBB', '\xBA', '\xC8', '\xCD', '\xBC'};
    case BoxStyle::Block:
        return {'\xDB', '\xDF', '\xDB', '\xDB', '\xDB', '\xDC', '\xDB'};
    case BoxStyle::Single:
        break;
    }
    return {'\xDA', '\xC4', '\xBF', '\xB3', '\xC0', '\xC4', '\xD9'};
}

// The frame's side and the space beside it, on either side.
constexpr std::int64_t BoxMargin = 4;
// The key, a space, at least three dots and a space before a fact's value.
constexpr std::int64_t FactLeaders = 5;

std::vector<std::string_view> Words(std::string_view cells)
{
    std::vector<std::string_view> words;
    for (std::size_t i = 0; i < cells.size();) {
        const std::size_t start = cells.find_first_not_of(' ', i);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(cells.find(' ', start), cells.size());
        words.push_back(cells.substr(start, end - start));
        i = end;
    }
    return words;
}

// Words of at most width cells filled into lines of at most width.
void Fill(const std::vector<std::string_view>& words, std::int64_t width, TemplatePosition at,
          std::vector<std::string>& lines, const std::string& indent = {})
{
    std::string line;
    for (const std::string_view word : words) {
        if (std::int64_t(word.size()) > width)
            throw TemplateError(at.line, at.column,
                                "the word '" + Cp437ToUtf8(word.substr(0, 20)) + "...' is " +
                                    Columns(std::int64_t(word.size())) + " long; " + std::to_string(width) +
                                    " are available here");
        if (!line.empty() && std::int64_t(line.size() + 1 + word.size()) > width) {
            lines.push_back((lines.empty() ? std::string() : indent) + line);
            line.clear();
        }
        if (!line.empty())
            line += ' ';
        line += word;
    }
    if (!line.empty() || lines.empty())
        lines.push_back((lines.empty() ? std::string() : indent) + line);
}

} // namespace

std::string Columns(std::int64_t count)
{
    return std::to_string(count) + (count == 1 ? " column" : " columns");
}

std::int64_t ShownWidth(std::string_view cells)
{
    constexpr std::int64_t TabStop = 8;
    std::int64_t columns = 0;
    for (const char cell : cells)
        columns = cell == '\t' ? (columns / TabStop + 1) * TabStop : columns + 1;
    return columns;
}

std::string_view Trimmed(std::string_view cells)
{
    const std::size_t first = cells.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return cells.substr(first, cells.find_last_not_of(' ') - first + 1);
}

Piece Aligned(Piece piece, std::int64_t width, bool centred)
{
    if (!piece.whole)
        piece.lines.front() = std::string(Trimmed(piece.lines.front()));
    std::int64_t widest = 0;
    for (const std::string& line : piece.lines)
        widest = std::max(widest, std::int64_t(line.size()));
    const std::int64_t room = width - widest;
    const std::string indent(std::size_t(centred ? room / 2 : room), ' ');
    for (std::string& line : piece.lines)
        if (!line.empty())
            line.insert(0, indent);
    return piece;
}

std::int64_t BoxInnerWidth(std::int64_t width, TemplatePosition at)
{
    const std::int64_t inner = width - BoxMargin;
    if (inner < 1)
        throw TemplateError(at.line, at.column,
                            "a box needs at least " + Columns(BoxMargin + 1) + "; " + std::to_string(width) +
                                " are available here");
    return inner;
}

std::string BoxTop(BoxStyle style, std::string_view title, std::int64_t width, TemplatePosition at)
{
    const BoxEdges edges = EdgesOf(style);
    std::string top(1, edges.topLeft);
    if (!title.empty()) {
        if (std::int64_t(title.size()) > width - 6)
            throw TemplateError(at.line, at.column,
                                "the box's title is " + Columns(std::int64_t(title.size())) + " wide; " +
                                    std::to_string(std::max<std::int64_t>(0, width - 6)) +
                                    " fit in its top edge here");
        top.append(1, edges.top).append(1, ' ').append(title).append(1, ' ');
    }
    return top + std::string(std::size_t(width - 1 - std::int64_t(top.size())), edges.top) + edges.topRight;
}

Piece Boxed(BoxStyle style, std::string top, const std::vector<Piece>& inside, std::int64_t width)
{
    const BoxEdges edges = EdgesOf(style);
    const std::size_t inner = std::size_t(width - BoxMargin);
    Piece box{{std::move(top)}, true};
    for (const Piece& piece : inside)
        for (const std::string& line : piece.lines)
            box.lines.push_back(std::string(1, edges.side) + ' ' + line + std::string(inner - line.size(), ' ') +
                                ' ' + edges.side);
    box.lines.push_back(edges.bottomLeft + std::string(std::size_t(width - 2), edges.bottom) + edges.bottomRight);
    return box;
}

void Paragraphs::Add(std::string_view cells, TemplatePosition at)
{
    if (Trimmed(cells).empty()) {
        FinishParagraph();
        lines.emplace_back();
        return;
    }
    if (paragraph.empty())
        paragraphAt = at;
    paragraph.append(1, ' ').append(cells);
}

std::vector<std::string> Paragraphs::Finish() &&
{
    FinishParagraph();
    return std::move(lines);
}

void Paragraphs::FinishParagraph()
{
    if (!paragraph.empty())
        Fill(Words(paragraph), fillWidth, paragraphAt, lines);
    paragraph.clear();
}

std::vector<std::string> FactLines(const std::vector<std::optional<Fact>>& facts, std::int64_t width)
{
    std::int64_t keyWidth = 0;
    for (const std::optional<Fact>& fact : facts)
        if (fact)
            keyWidth = std::max(keyWidth, std::int64_t(fact->key.size()));
    const std::int64_t valueColumn = keyWidth + FactLeaders;
    std::vector<std::string> lines;
    for (const std::optional<Fact>& fact : facts) {
        if (!fact) {
            lines.emplace_back();
            continue;
        }
        if (valueColumn >= width)
            throw TemplateError(fact->at.line, fact->at.column,
                                "the facts' keys leave no room for their values: their column starts at " +
                                    std::to_string(valueColumn + 1) + " of the " + std::to_string(width) +
                                    " available here");
        const std::string leader =
            fact->key + ' ' + std::string(std::size_t(valueColumn - 2 - std::int64_t(fact->key.size())), '.') + ' ';
        std::vector<std::string> valueLines;
        Fill(Words(fact->value), width - valueColumn, fact->at, valueLines, std::string(std::size_t(valueColumn), ' '));
        valueLines.front().insert(0, fact->value.empty() ? Trimmed(leader) : leader);
        for (std::string& line : valueLines)
            lines.push_back(std::move(line));
    }
    return lines;
}

std::string RuleLine(std::string_view pattern, std::int64_t width)
{
    std::string line;
    while (std::int64_t(line.size()) < width)
        line += pattern;
    line.resize(std::size_t(width));
    return line;
}

} // namespace ezedudu
