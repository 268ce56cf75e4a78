#include "template_parser.h"

#include "ezedudu/compose.h"
#include "ezedudu/cp437.h"
#include "ezedudu/option_table.h"
#include "ezedudu/utf8.h"

#include <algorithm>
#include <optional>

namespace ezedudu {
namespace {

constexpr std::u32string_view Open = U"{{";
constexpr std::u32string_view Close = U"}}";

// A word of a directive and the column it starts at; a "quoted" word keeps
// its spaces and loses its quotes.
struct Word {
    std::u32string text;
    std::int64_t column;
};

// A directive: its name, the words after it, and where it ends on its line.
struct Directive {
    std::u32string name;
    std::vector<Word> words;
    TemplatePosition at;
    std::size_t end; // the index just past its }}
};

Directive ReadDirective(std::u32string_view line, std::size_t open, std::int64_t lineNumber)
{
    const TemplatePosition at{lineNumber, std::int64_t(open) + 1};
    const std::size_t close = line.find(Close, open + Open.size());
    if (close == std::u32string_view::npos)
        throw TemplateError(at.line, at.column, "expected }} to close this directive on its line");
    // Searched alone, so that a line of many directives is read in one pass.
    const std::u32string_view inside = line.substr(0, close);
    std::vector<Word> words;
    for (std::size_t i = open + Open.size(); i < close;) {
        if (line[i] == U' ') {
            ++i;
            continue;
        }
        const std::int64_t column = std::int64_t(i) + 1;
        if (line[i] == U'"') {
            const std::size_t quote = inside.find(U'"', i + 1);
            if (quote == std::u32string_view::npos)
                throw TemplateError(at.line, column, "expected a closing \" before }}");
            words.push_back({std::u32string(line.substr(i + 1, quote - i - 1)), column});
            i = quote + 1;
        } else {
            const std::size_t space = std::min(inside.find(U' ', i), close);
            words.push_back({std::u32string(line.substr(i, space - i)), column});
            i = space;
        }
    }
    if (words.empty())
        throw TemplateError(at.line, at.column, "expected a field or directive name between {{ and }}");
    const std::u32string name = words.front().text;
    words.erase(words.begin());
    return {name, std::move(words), at, close + Close.size()};
}

struct BlockName {
    std::u32string_view name;
    BlockKind kind;
};

constexpr BlockName BlockNames[] = {{U"center", BlockKind::Center},
                                    {U"right", BlockKind::Right},
                                    {U"box", BlockKind::Box},
                                    {U"wrap", BlockKind::Wrap},
                                    {U"facts", BlockKind::Facts}};

std::optional<BlockKind> BlockNamed(std::u32string_view name)
{
    for (const BlockName& block : BlockNames)
        if (block.name == name)
            return block.kind;
    return std::nullopt;
}

std::u32string_view NameOf(BlockKind kind)
{
    return std::find_if(std::begin(BlockNames), std::end(BlockNames),
                        [kind](const BlockName& block) { return block.kind == kind; })
        ->name;
}

// Directives that make lines of their own, rather than text within a line.
bool StandsAlone(std::u32string_view name)
{
    if (!name.empty() && name.front() == U'/')
        name.remove_prefix(1);
    return BlockNamed(name) || name == U"rule" || name == U"art" || name == U"logo";
}

bool IsFieldName(std::u32string_view name)
{
    const auto allowed = [](char32_t c) {
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U'_' ||
               c == U'-' || c == U'.';
    };
    return !name.empty() && std::all_of(name.begin(), name.end(), allowed);
}

std::string Braced(std::u32string_view name)
{
    std::string braced = "{{";
    return braced.append(EncodeUtf8(name)).append("}}");
}

std::string Closer(BlockKind kind)
{
    std::string closer = "{{/";
    return closer.append(EncodeUtf8(NameOf(kind))).append("}}");
}

// The pieces of a line of text: characters and fields; {{{{ is {{.
TextLine ReadTextLine(std::u32string_view line, std::int64_t lineNumber)
{
    TextLine text;
    const auto literal = [&](std::u32string_view characters, std::size_t at) {
        if (text.pieces.empty() || text.pieces.back().field)
            text.pieces.push_back({false, {}, {lineNumber, std::int64_t(at) + 1}});
        text.pieces.back().text += characters;
    };
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t open = line.find(Open, i);
        if (open == std::u32string_view::npos) {
            literal(line.substr(i), i);
            break;
        }
        if (open > i)
            literal(line.substr(i, open - i), i);
        if (line.substr(open, 2 * Open.size()) == U"{{{{") {
            literal(Open, open);
            i = open + 2 * Open.size();
            continue;
        }
        const Directive directive = ReadDirective(line, open, lineNumber);
        if (StandsAlone(directive.name))
            throw TemplateError(lineNumber, directive.at.column,
                                Braced(directive.name) + " must stand on a line of its own");
        if (!IsFieldName(directive.name))
            throw TemplateError(lineNumber, directive.at.column + 2,
                                "expected a field name (letters, digits, _ - .) but found '" +
                                    EncodeUtf8(directive.name) + "'");
        if (!directive.words.empty())
            throw TemplateError(lineNumber, directive.words.front().column,
                                "expected }} after the field name " + EncodeUtf8(directive.name));
        text.pieces.push_back({true, directive.name, directive.at});
        i = directive.end;
    }
    return text;
}

std::u32string Joined(const std::vector<Word>& words, std::size_t from, std::size_t to)
{
    std::u32string joined;
    for (std::size_t i = from; i < to; ++i)
        joined += (i > from ? U" " : U"") + words[i].text;
    return joined;
}

ArtDirective ReadArt(const Directive& directive)
{
    if (directive.words.empty())
        throw TemplateError(directive.at.line, directive.at.column, "expected a picture after {{art");
    ArtDirective art{EncodeUtf8(directive.words.front().text), {}};
    std::vector<std::string> options;
    for (std::size_t i = 1; i < directive.words.size(); ++i)
        options.push_back(EncodeUtf8(directive.words[i].text));
    if (std::string error = ParseOptionWords(options, art.settings).reason; !error.empty())
        throw TemplateError(directive.at.line,
                            directive.words.size() > 1 ? directive.words[1].column : directive.at.column, error);
    return art;
}

LogoDirective ReadLogo(const Directive& directive)
{
    const std::vector<Word>& words = directive.words;
    const auto font = std::find_if(words.begin(), words.end(), [](const Word& w) { return w.text == U"--font"; });
    const std::size_t textEnd = std::size_t(font - words.begin());
    if (textEnd == 0)
        throw TemplateError(directive.at.line, directive.at.column, "expected the logo's text after {{logo");
    LogoDirective logo{Joined(words, 0, textEnd), "standard"};
    if (font != words.end()) {
        if (font + 1 == words.end())
            throw TemplateError(directive.at.line, font->column, "expected a font's name or file after --font");
        if (font + 2 != words.end())
            throw TemplateError(directive.at.line, (font + 2)->column, "expected }} after the font");
        logo.font = EncodeUtf8((font + 1)->text);
    }
    return logo;
}

Block ReadBlock(BlockKind kind, const Directive& directive)
{
    Block block;
    block.kind = kind;
    std::size_t titleFrom = 0;
    if (kind == BlockKind::Box && !directive.words.empty()) {
        const std::u32string& first = directive.words.front().text;
        for (const auto& [name, style] : {std::pair{U"single", BoxStyle::Single},
                                          {U"double", BoxStyle::Double},
                                          {U"block", BoxStyle::Block}})
            if (first == name) {
                block.style = style;
                titleFrom = 1;
            }
        block.title = Joined(directive.words, titleFrom, directive.words.size());
    } else if (!directive.words.empty()) {
        throw TemplateError(directive.at.line, directive.words.front().column,
                            "expected }} after " + EncodeUtf8(directive.name) + ": it takes no words");
    }
    return block;
}

// Blocks nest no deeper: laying them out and letting them go recurses, so a
// template of 100,000 {{center}} lines would overflow the stack, and no
// file is laid out usefully 100 blocks deep.
constexpr std::size_t MaxNesting = 100;

// The blocks open at a line, innermost last.
struct OpenBlock {
    Block block;
    TemplatePosition at;
};

class Parser {
public:
    std::vector<TemplateNode> Parse(const std::vector<std::u32string>& lines)
    {
        for (std::size_t index = 0; index < lines.size(); ++index)
            Take(lines[index], std::int64_t(index) + 1);
        if (!open.empty()) {
            const OpenBlock& last = open.back();
            throw TemplateError(last.at.line, last.at.column,
                                Braced(NameOf(last.block.kind)) + " is never closed: expected " +
                                    Closer(last.block.kind));
        }
        return std::move(root);
    }

private:
    void Add(TemplatePosition at, decltype(TemplateNode::content) content)
    {
        if (!open.empty()) {
            const BlockKind kind = open.back().block.kind;
            if ((kind == BlockKind::Wrap || kind == BlockKind::Facts) && !std::holds_alternative<TextLine>(content))
                throw TemplateError(at.line, at.column,
                                    "only lines of text may stand inside " + Braced(NameOf(kind)));
        }
        (open.empty() ? root : open.back().block.children).push_back({at, std::move(content)});
    }

    void Take(std::u32string_view line, std::int64_t lineNumber)
    {
        const std::size_t first = line.find_first_not_of(U' ');
        if (first != std::u32string_view::npos && line.substr(first, 2) == Open &&
            line.substr(first, 2 * Open.size()) != U"{{{{") {
            const Directive directive = ReadDirective(line, first, lineNumber);
            if (StandsAlone(directive.name)) {
                const std::size_t rest = line.find_first_not_of(U' ', directive.end);
                if (rest != std::u32string_view::npos)
                    throw TemplateError(lineNumber, std::int64_t(rest) + 1,
                                        "expected the end of the line: " + Braced(directive.name) +
                                            " stands on a line of its own");
                return TakeDirective(directive);
            }
        }
        Add({lineNumber, 1}, ReadTextLine(line, lineNumber));
    }

    void TakeDirective(const Directive& directive)
    {
        const std::u32string& name = directive.name;
        if (name.front() == U'/') {
            const std::optional<BlockKind> kind = BlockNamed(std::u32string_view(name).substr(1));
            if (open.empty())
                throw TemplateError(directive.at.line, directive.at.column,
                                    Braced(name) + " closes nothing: no block is open here");
            if (open.back().block.kind != kind)
                throw TemplateError(directive.at.line, directive.at.column,
                                    "expected " + Closer(open.back().block.kind) + " to close the " +
                                        Braced(NameOf(open.back().block.kind)) + " of line " +
                                        std::to_string(open.back().at.line) + ", not " + Braced(name));
            OpenBlock closed = std::move(open.back());
            open.pop_back();
            Add(closed.at, std::move(closed.block));
        } else if (const std::optional<BlockKind> kind = BlockNamed(name)) {
            if (!open.empty() && (open.back().block.kind == BlockKind::Wrap || open.back().block.kind == BlockKind::Facts))
                throw TemplateError(directive.at.line, directive.at.column,
                                    "only lines of text may stand inside " + Braced(NameOf(open.back().block.kind)));
            if (open.size() == MaxNesting)
                throw TemplateError(directive.at.line, directive.at.column,
                                    "blocks nest " + std::to_string(MaxNesting) +
                                        " deep here, the most a template may; close some first");
            open.push_back({ReadBlock(*kind, directive), directive.at});
        } else if (name == U"rule") {
            Add(directive.at, RuleDirective{Joined(directive.words, 0, directive.words.size())});
        } else if (name == U"art") {
            Add(directive.at, ReadArt(directive));
        } else {
            Add(directive.at, ReadLogo(directive));
        }
    }

    std::vector<TemplateNode> root;
    std::vector<OpenBlock> open;
};

} // namespace

std::vector<std::u32string> TemplateLines(std::string_view bytes)
{
    Utf8Text decoded = DecodeUtf8(bytes);
    std::u32string text;
    if (decoded.firstInvalidByte) {
        text.reserve(bytes.size());
        for (const char byte : bytes) {
            const auto code = static_cast<std::uint8_t>(byte);
            text += code == '\r' || code == '\n' || code == '\t' ? char32_t(code) : Cp437ToUnicode(code);
        }
    } else {
        text = std::move(decoded.codePoints);
        if (!text.empty() && text.front() == U'\uFEFF') // a byte order mark
            text.erase(0, 1);
    }
    std::vector<std::u32string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(U'\n', start), text.size());
        std::u32string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == U'\r')
            line.pop_back();
        if (const std::size_t cr = line.find(U'\r'); cr != std::u32string::npos)
            throw TemplateError(std::int64_t(lines.size()) + 1, std::int64_t(cr) + 1,
                                "a carriage return that ends no line; lines end in LF or CR LF");
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::vector<TemplateNode> ParseTemplate(const std::vector<std::u32string>& lines)
{
    return Parser().Parse(lines);
}

} // namespace ezedudu
