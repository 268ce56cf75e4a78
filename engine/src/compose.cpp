#include "ezedudu/compose.h"

#include "template_parser.h"
#include "text_blocks.h"

#include "ezedudu/art_conversion.h"
#include "ezedudu/cp437.h"
#include "ezedudu/error.h"
#include "ezedudu/logo_font.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/utf8.h"

#include <algorithm>

namespace ezedudu {
namespace {

class Composer {
public:
    Composer(const TemplateFields& values, TemplateSources& files) : fields(values), sources(files) {}

    std::vector<Piece> Lay(const std::vector<TemplateNode>& nodes, std::int64_t width)
    {
        std::vector<Piece> pieces;
        for (const TemplateNode& node : nodes) {
            if (const auto* text = std::get_if<TextLine>(&node.content)) {
                std::string cells = Cells(*text);
                if (const std::int64_t shown = ShownWidth(cells); shown > width)
                    throw TemplateError(node.at.line, node.at.column,
                                        "this line is " + Columns(shown) + " wide; " +
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
    // Whether a tab may be written: only in a line of text outside every
    // block, whose first column is the file's, so that the viewer's tab
    // stops are known. Anywhere else it would put the columns out of line.
    enum class Tabs { Kept, Refused };

    Tabs TabsHere() const { return blockDepth == 0 ? Tabs::Kept : Tabs::Refused; }

    // Characters as cells; fault says what is wrong with the one at index.
    template <typename Fault>
    static std::string Encode(std::u32string_view text, Tabs tabs, const Fault& fault)
    {
        std::string cells;
        cells.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == U'\t') {
                if (tabs == Tabs::Refused)
                    throw fault(i, "a tab stands only in a line of text outside every block, where a viewer's "
                                   "tab stops fall where they are meant to; write spaces here");
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

    static std::string Encode(std::u32string_view text, TemplatePosition at, Tabs tabs = Tabs::Refused)
    {
        return Encode(text, tabs, [&](std::size_t index, const std::string& why) {
            return TemplateError(at.line, at.column + std::int64_t(index), why);
        });
    }

    std::string FieldCells(const TextPiece& field) const
    {
        const std::string name = EncodeUtf8(field.text);
        const auto value = fields.find(name);
        if (value == fields.end())
            throw TemplateError(field.at.line, field.at.column, "the field {{" + name + "}} has no value");
        const Utf8Text decoded = DecodeUtf8(value->second);
        if (decoded.firstInvalidByte)
            throw TemplateError(field.at.line, field.at.column, "the value of {{" + name + "}} is not UTF-8");
        return Encode(decoded.codePoints, TabsHere(), [&](std::size_t, const std::string& why) {
            return TemplateError(field.at.line, field.at.column, "the value of {{" + name + "}}: " + why);
        });
    }

    std::string Cells(const TextLine& line) const
    {
        std::string cells;
        for (const TextPiece& piece : line.pieces)
            cells += piece.field ? FieldCells(piece) : Encode(piece.text, piece.at, TabsHere());
        return cells;
    }

    void LayBlock(const Block& block, TemplatePosition at, std::int64_t width, std::vector<Piece>& pieces)
    {
        struct Inside {
            int& depth;
            explicit Inside(int& outer) : depth(++outer) {}
            ~Inside() { --depth; }
        } inside(blockDepth);
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
            pieces.push_back({FactLines(Facts(block.children), width), true});
            return;
        }
    }

    Piece Box(const Block& block, TemplatePosition at, std::int64_t width)
    {
        const std::int64_t inner = BoxInnerWidth(width, at);
        std::string top = BoxTop(block.style, Encode(block.title, at), width, at);
        return Boxed(block.style, std::move(top), Lay(block.children, inner), width);
    }

    std::vector<std::string> Wrapped(const std::vector<TemplateNode>& children, TemplatePosition at,
                                     std::int64_t width) const
    {
        Paragraphs paragraphs(width, at);
        for (const TemplateNode& child : children)
            paragraphs.Add(Cells(std::get<TextLine>(child.content)), child.at);
        return std::move(paragraphs).Finish();
    }

    // A fact's line split at its first ':' written in the template.
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

    std::vector<std::optional<Fact>> Facts(const std::vector<TemplateNode>& children) const
    {
        std::vector<std::optional<Fact>> facts;
        for (const TemplateNode& child : children)
            facts.push_back(SplitFact(child));
        return facts;
    }

    static Piece Rule(const RuleDirective& rule, TemplatePosition at, std::int64_t width)
    {
        const std::string pattern = rule.pattern.empty() ? std::string("\xC4") : Encode(rule.pattern, at);
        return {{RuleLine(pattern, width)}, true};
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
    int blockDepth = 0;
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
