#include "ezedudu/compose.h"

#include "template_parser.h"

#include "ezedudu/art_conversion.h"
#include "ezedudu/cp437.h"
#include "ezedudu/error.h"
#include "ezedudu/logo_font.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/utf8.h"

#include <algorithm>

namespace ezedudu {
namespace {

// A few lines laid out together: one line of text, or what a directive
// made (art, a logo, a box, facts, a rule), whose lines move as one when
// aligned.
struct Piece {
    std::vector<std::string> lines; // code-page-437 cells
    bool whole = false;
};

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

std::string_view Trimmed(std::string_view cells)
{
    const std::size_t first = cells.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return cells.substr(first, cells.find_last_not_of(' ') - first + 1);
}

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

std::string Columns(std::int64_t count)
{
    return std::to_string(count) + (count == 1 ? " column" : " columns");
}

class Composer {
public:
    Composer(const TemplateFields& values, TemplateSources& files) : fields(values), sources(files) {}

    std::vector<Piece> Lay(const std::vector<TemplateNode>& nodes, std::int64_t width)
    {
        std::vector<Piece> pieces;
        for (const TemplateNode& node : nodes) {
            if (const auto* text = std::get_if<TextLine>(&node.content)) {
                std::string cells = Cells(*text);
                if (std::int64_t(cells.size()) > width)
                    throw TemplateError(node.at.line, node.at.column,
                                        "this line is " + Columns(std::int64_t(cells.size())) + " wide; " +
                                            std::to_string(width) + " are available here");
                pieces.push_back({{std::move(cells)}, false});
            } else if (const auto* block = std::get_if<Block>(&node.content)) {
                LayBlock(*block, node.at, width, pieces);
            } else if (const auto* art = std::get_if<ArtDirective>(&node.content)) {
                pieces.push_back(Art(*art, node.at, width));
            } else if (const auto* logo = std::get_if<LogoDirective>(&node.content)) {
                pieces.push_back(Logo(*logo, node.at, width));
            } else {
                pieces.push_back(Rule(std::get<RuleDirective>(node.content), node.at, width));
            }
        }
        return pieces;
    }

private:
    // Characters as cells; fault says what is wrong with the one at index.
    template <typename Fault>
    static std::string Encode(std::u32string_view text, const Fault& fault)
    {
        std::string cells;
        cells.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == U'\t') {
                cells += '\t';
                continue;
            }
            const std::optional<std::uint8_t> byte = UnicodeToCp437(text[i]);
            if (!byte)
                throw fault(i, DescribeCharacter(text[i]) + " is not in code page 437");
            if (*byte == '\r' || *byte == '\n')
                throw fault(i, DescribeCharacter(text[i]) + " cannot be written: its byte, " + std::to_string(*byte) +
                                   ", ends lines");
            cells += char(*byte);
        }
        return cells;
    }

    static std::string Encode(std::u32string_view text, TemplatePosition at)
    {
        return Encode(text, [&](std::size_t index, const std::string& why) {
            return TemplateError(at.line, at.column + std::int64_t(index), why);
        });
    }

    std::string FieldCells(const TextPiece& field) const
    {
        const std::string name = Utf8Of(field.text);
        const auto value = fields.find(name);
        if (value == fields.end())
            throw TemplateError(field.at.line, field.at.column, "the field {{" + name + "}} has no value");
        const Utf8Text decoded = DecodeUtf8(value->second);
        if (decoded.firstInvalidByte)
            throw TemplateError(field.at.line, field.at.column, "the value of {{" + name + "}} is not UTF-8");
        return Encode(decoded.codePoints, [&](std::size_t, const std::string& why) {
            return TemplateError(field.at.line, field.at.column, "the value of {{" + name + "}}: " + why);
        });
    }

    std::string Cells(const TextLine& line) const
    {
        std::string cells;
        for (const TextPiece& piece : line.pieces)
            cells += piece.field ? FieldCells(piece) : Encode(piece.text, piece.at);
        return cells;
    }

    void LayBlock(const Block& block, TemplatePosition at, std::int64_t width, std::vector<Piece>& pieces)
    {
        switch (block.kind) {
        case BlockKind::Center:
        case BlockKind::Right:
            for (Piece& piece : Lay(block.children, width))
                pieces.push_back(Aligned(std::move(piece), width, block.kind == BlockKind::Center));
            return;
        case BlockKind::Box:
            pieces.push_back(Box(block, at, width));
            return;
        case BlockKind::Wrap:
            for (std::string& line : Wrapped(block.children, at, width))
                pieces.push_back({{std::move(line)}, false});
            return;
        case BlockKind::Facts: // its columns stay aligned wherever it moves
            pieces.push_back({Facts(block.children, width), true});
            return;
        }
    }

    // Text lines alone, trimmed; what a directive made, as a whole.
    static Piece Aligned(Piece piece, std::int64_t width, bool centred)
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

    Piece Box(const Block& block, TemplatePosition at, std::int64_t width)
    {
        const std::int64_t inner = width - BoxMargin;
        if (inner < 1)
            throw TemplateError(at.line, at.column,
                                "a box needs at least " + Columns(BoxMargin + 1) + "; " + std::to_string(width) +
                                    " are available here");
        const BoxEdges edges = EdgesOf(block.style);
        std::string top(1, edges.topLeft);
        if (!block.title.empty()) {
            const std::string title = Encode(block.title, at);
            if (std::int64_t(title.size()) > width - 6)
                throw TemplateError(at.line, at.column,
                                    "the box's title is " + Columns(std::int64_t(title.size())) + " wide; " +
                                        std::to_string(std::max<std::int64_t>(0, width - 6)) +
                                        " fit in its top edge here");
            top += std::string(1, edges.top) + ' ' + title + ' ';
        }
        top += std::string(std::size_t(width - 1 - std::int64_t(top.size())), edges.top) + edges.topRight;
        Piece box{{std::move(top)}, true};
        for (const Piece& piece : Lay(block.children, inner))
            for (const std::string& line : piece.lines)
                box.lines.push_back(std::string(1, edges.side) + ' ' + line +
                                    std::string(std::size_t(inner) - line.size(), ' ') + ' ' + edges.side);
        box.lines.push_back(edges.bottomLeft + std::string(std::size_t(width - 2), edges.bottom) + edges.bottomRight);
        return box;
    }

    // Words of at most width cells filled into lines of at most width.
    static void Fill(const std::vector<std::string_view>& words, std::int64_t width, TemplatePosition at,
                     std::vector<std::string>& lines, const std::string& indent = {})
    {
        std::string line;
        for (const std::string_view word : words) {
            if (std::int64_t(word.size()) > width)
                throw TemplateError(at.line, at.column,
                                    "the word '" + std::string(word.substr(0, 20)) + "...' is " +
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

    std::vector<std::string> Wrapped(const std::vector<TemplateNode>& children, TemplatePosition at,
                                     std::int64_t width) const
    {
        std::vector<std::string> lines;
        std::string paragraph;
        TemplatePosition paragraphAt = at;
        const auto finish = [&] {
            if (!paragraph.empty())
                Fill(Words(paragraph), width, paragraphAt, lines);
            paragraph.clear();
        };
        for (const TemplateNode& child : children) {
            const std::string cells = Cells(std::get<TextLine>(child.content));
            if (Trimmed(cells).empty()) {
                finish();
                lines.emplace_back();
                continue;
            }
            if (paragraph.empty())
                paragraphAt = child.at;
            paragraph += ' ' + cells;
        }
        finish();
        return lines;
    }

    // A fact's line split at its first ':' written in the template.
    struct Fact {
        std::string key;
        std::string value;
        TemplatePosition at;
    };

    std::optional<Fact> SplitFact(const TemplateNode& node) const
    {
        const TextLine& line = std::get<TextLine>(node.content);
        TextLine key, value;
        bool split = false;
        for (const TextPiece& piece : line.pieces) {
            const std::size_t colon = piece.field ? std::u32string::npos : piece.text.find(U':');
            if (split || colon == std::u32string::npos) {
                (split ? value : key).pieces.push_back(piece);
                continue;
            }
            key.pieces.push_back({false, piece.text.substr(0, colon), piece.at});
            value.pieces.push_back(
                {false, piece.text.substr(colon + 1), {piece.at.line, piece.at.column + std::int64_t(colon) + 1}});
            split = true;
        }
        if (!split) {
            if (Trimmed(Cells(line)).empty())
                return std::nullopt;
            throw TemplateError(node.at.line, node.at.column, "expected a fact as 'Key: value'");
        }
        return Fact{std::string(Trimmed(Cells(key))), std::string(Trimmed(Cells(value))), node.at};
    }

    std::vector<std::string> Facts(const std::vector<TemplateNode>& children, std::int64_t width) const
    {
        std::vector<std::optional<Fact>> facts;
        std::int64_t keyWidth = 0;
        for (const TemplateNode& child : children) {
            facts.push_back(SplitFact(child));
            if (facts.back())
                keyWidth = std::max(keyWidth, std::int64_t(facts.back()->key.size()));
        }
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
            const std::string leader = fact->key + ' ' +
                                       std::string(std::size_t(valueColumn - 2 - std::int64_t(fact->key.size())), '.') +
                                       ' ';
            std::vector<std::string> valueLines;
            Fill(Words(fact->value), width - valueColumn, fact->at, valueLines,
                 std::string(std::size_t(valueColumn), ' '));
            valueLines.front().insert(0, fact->value.empty() ? Trimmed(leader) : leader);
            for (std::string& line : valueLines)
                lines.push_back(std::move(line));
        }
        return lines;
    }

    static Piece Rule(const RuleDirective& rule, TemplatePosition at, std::int64_t width)
    {
        const std::string pattern = rule.pattern.empty() ? std::string("\xC4") : Encode(rule.pattern, at);
        std::string line;
        while (std::int64_t(line.size()) < width)
            line += pattern;
        line.resize(std::size_t(width));
        return {{std::move(line)}, true};
    }

    static void RefuseWiderThan(std::int64_t width, std::int64_t artColumns)
    {
        if (artColumns > width)
            throw Error(Error::Kind::Refused, "the art is " + Columns(artColumns) + " wide; " +
                                                  std::to_string(width) +
                                                  " are available here (make it narrower with --columns)");
    }

    Piece Art(const ArtDirective& art, TemplatePosition at, std::int64_t width)
    {
        ConversionOptions options = art.settings.conversion;
        if (!options.Resamples())
            options.columns = width;
        options.layout.signature.reset();
        Piece piece{{}, true};
        try {
            const std::shared_ptr<const RowSource> picture = sources.OpenPicture(art.picture, options);
            // Measured before it is made: art too wide for its place is never
            // drawn. Laid out (--center), it is measured again.
            const ArtSize size = FitArt(picture->FullWidth(), picture->FullHeight(), options.columns, options.rows,
                                        options.cellAspect);
            RefuseWiderThan(width, size.columns);
            const ConvertedArt converted = sources.MakeArt(art.picture, *picture, options);
            RefuseWiderThan(width, converted.page.Width());
            for (std::int64_t line = 0; line < converted.page.LineCount(); ++line)
                piece.lines.emplace_back(converted.page.Line(line));
        } catch (const Error& error) {
            throw TemplateError(at.line, at.column, art.picture + ": " + Explain(error));
        }
        return piece;
    }

    std::string FontFile(const std::string& name)
    {
        try {
            return sources.ReadFont(name);
        } catch (const Error& error) {
            if (error.GetKind() != Error::Kind::MissingFile)
                throw;
            std::string names;
            for (const std::string_view bundled : BundledFontNames())
                names.append(names.empty() ? "" : ", ").append(bundled);
            throw Error(Error::Kind::MissingFile,
                        "no font " + name + ": neither a file nor one of the fonts built in (" + names + ")");
        }
    }

    Piece Logo(const LogoDirective& logo, TemplatePosition at, std::int64_t width)
    {
        try {
            const std::optional<std::string_view> bundled = BundledFont(logo.font);
            const LogoFont font = LogoFont::Parse(bundled ? std::string(*bundled) : FontFile(logo.font), logo.font);
            return {font.DrawCp437(logo.text, int(width)), true};
        } catch (const Error& error) {
            throw TemplateError(at.line, at.column, Explain(error));
        }
    }

    const TemplateFields& fields;
    TemplateSources& sources;
};

std::string ClosingLineFor(const std::string& signature, std::int64_t width)
{
    if (signature != DefaultSignature)
        return signature;
    if (std::int64_t(ClosingLine.size()) <= width)
        return std::string(ClosingLine);
    // Where the usual indent does not fit, the words are centred.
    return std::string(std::size_t(std::max<std::int64_t>(0, (width - std::int64_t(signature.size())) / 2)), ' ') +
           signature;
}

} // namespace

ConvertedArt TemplateSources::MakeArt(const std::string&, const RowSource& picture, const ConversionOptions& options)
{
    return *ConvertArt(picture, options);
}

Page Compose(std::string_view templateBytes, const TemplateFields& fields, TemplateSources& sources,
             const ComposeOptions& options)
{
    const std::vector<std::u32string> lines = TemplateLines(templateBytes);
    Composer composer(fields, sources);
    Page page;
    for (const Piece& piece : composer.Lay(ParseTemplate(lines), options.shape.width))
        for (const std::string& line : piece.lines)
            page.AddLine(line);
    if (options.signature) {
        const std::string closing = ClosingLineFor(*options.signature, options.shape.width);
        if (std::int64_t(closing.size()) > options.shape.width)
            throw Error(Error::Kind::Refused, "the closing line is " + Columns(std::int64_t(closing.size())) +
                                                  " wide, wider than the file's " + std::to_string(options.shape.width));
        page.AddLine({});
        page.AddLine(closing);
    }
    if (options.shape.maxLines && page.LineCount() > *options.shape.maxLines)
        throw TemplateError(std::max<std::int64_t>(1, std::int64_t(lines.size())), 1,
                            "the file comes out " + std::to_string(page.LineCount()) + " lines long; at most " +
                                std::to_string(*options.shape.maxLines) + " fit this layout" +
                                (options.signature ? " (--signature none saves 2)" : ""));
    return page;
}

} // namespace ezedudu
