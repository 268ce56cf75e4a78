#include "ezedudu/compose.h"

#include "ezedudu/canvas.h"
#include "ezedudu/error.h"
#include "ezedudu/template_field_names.h"

#include "memory_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ezedudu {
namespace {

// Serves every picture as a black 7 x 7 one; has no font files.
class BlackPictures : public TemplateSources {
public:
    std::shared_ptr<const RowSource> OpenPicture(const std::string& name, const ConversionOptions&) override
    {
        opened.push_back(name);
        return std::make_shared<CanvasRows>(black.View());
    }

    std::string ReadFont(const std::string& name) override
    {
        throw Error(Error::Kind::MissingFile, name + ": no such file");
    }

    std::vector<std::string> opened;

private:
    MemoryPicture black{7, 7};
};

ComposeOptions Unsigned(std::int64_t width, std::optional<std::int64_t> maxLines = std::nullopt)
{
    return {{width, maxLines}, std::nullopt};
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Joined without operator+, whose chains some compilers misjudge.
std::string Cat(std::initializer_list<std::string_view> parts)
{
    std::string joined;
    for (const std::string_view part : parts)
        joined += part;
    return joined;
}

std::string ComposeText(std::string_view text, std::int64_t width, const TemplateFields& fields = {})
{
    BlackPictures pictures;
    return std::string(Compose(text, fields, pictures, Unsigned(width)).Cp437());
}

TEST(Compose, LaysBlocksOutToTheWidthAvailable)
{
    const std::string space14(14, ' ');
    const struct {
        const char* name;
        const char* text;
        std::int64_t width;
        std::vector<std::string> lines;
    } cases[] = {
        {"a box with a title", "{{box double \"HI\"}}\nab\n{{/box}}", 20,
         {Cat({"\xC9\xCD HI ", std::string(13, '\xCD'), "\xBB"}), Cat({"\xBA ab", space14, " \xBA"}),
          Cat({"\xC8", std::string(18, '\xCD'), "\xBC"})}},
        {"centred inside a box", "{{box}}\n{{center}}\n ab \n{{/center}}\n{{/box}}", 10,
         {Cat({"\xDA", std::string(8, '\xC4'), "\xBF"}), "\xB3   ab   \xB3", Cat({"\xC0", std::string(8, '\xC4'), "\xD9"})}},
        {"wrapped at a box's inner width", "{{box block}}\n{{wrap}}\none two three four\n\nfive\n{{/wrap}}\n{{/box}}",
         14,
         {Cat({"\xDB", std::string(12, '\xDF'), "\xDB"}), "\xDB one two    \xDB", "\xDB three four \xDB",
          "\xDB            \xDB", "\xDB five       \xDB", Cat({"\xDB", std::string(12, '\xDC'), "\xDB"})}},
        {"facts at a box's inner width", "{{box}}\n{{facts}}\nTitle: Ezedudu\n\nNotes: one two three four\n{{/facts}}\n{{/box}}",
         24,
         {Cat({"\xDA", std::string(22, '\xC4'), "\xBF"}), "\xB3 Title ... Ezedudu    \xB3",
          "\xB3                      \xB3", "\xB3 Notes ... one two    \xB3", "\xB3           three four \xB3",
          Cat({"\xC0", std::string(22, '\xC4'), "\xD9"})}},
        {"right-aligned and ruled", "{{right}}\nab  \n{{/right}}\n{{rule \u2584\u2580}}\n{{rule}}", 5,
         {"   ab", "\xDC\xDF\xDC\xDF\xDC", std::string(5, '\xC4')}},
        {"facts centred as one", "{{center}}\n{{facts}}\nA: 1\nLong: 2\n{{/facts}}\n{{/center}}", 14,
         {"  A ...... 1", "  Long ... 2"}},
        {"fitted art in a box", "{{box}}\n{{art black.bmp}}\n{{/box}}", 10,
         {Cat({"\xDA", std::string(8, '\xC4'), "\xBF"}), Cat({"\xB3 ", std::string(6, '\xDB'), " \xB3"}),
          Cat({"\xB3 ", std::string(6, '\xDB'), " \xB3"}), Cat({"\xB3 ", std::string(6, '\xDB'), " \xB3"}),
          Cat({"\xC0", std::string(8, '\xC4'), "\xD9"})}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComposeText(c.text, c.width), Lines(c.lines)) << c.name;
}

TEST(Compose, WritesFieldValuesLiterallyAndTextAsCodePage437)
{
    const TemplateFields fields{{"title", "a{{b"}, {"date", "2024-01-02"}};
    EXPECT_EQ(ComposeText("{{title}} {{{{x}} {{date}}\ncaf\u00E9 \u25BA\t", 80, fields),
              "a{{b {{x}} 2024-01-02\r\ncaf\x82 \x10\t\r\n");
    // A file that is not UTF-8 is code page 437, its pictures and all.
    const std::string cp437 = "\x10 \xC9\xCD\xBB \x01\t\x82\r\n\x1B[0m \x07\r\n\r\n\xDB\xB2\xB1\xB0\r\n";
    EXPECT_EQ(ComposeText(cp437, 80), cp437);
}

TEST(Compose, NamesWhereATemplateIsWrong)
{
    const struct {
        std::string text;
        std::int64_t line, column;
        const char* saying;
    } cases[] = {
        {"{{box}}\nx", 1, 1, "{{box}} is never closed"},
        {"ok\n{{/wrap}}", 2, 1, "closes nothing"},
        {"{{box}}\n{{/center}}", 2, 1, "expected {{/box}} to close the {{box}} of line 1"},
        {"a {{center}}", 1, 3, "must stand on a line of its own"},
        {"{{rule}} x", 1, 10, "expected the end of the line"},
        {"{{wrap}}\n{{rule}}\n{{/wrap}}", 2, 1, "only lines of text"},
        {"x {{title", 1, 3, "expected }}"},
        {"{{title x}}", 1, 9, "expected }} after the field name"},
        {"{{t!tle}}", 1, 3, "expected a field name"},
        {"{{facts}}\nnope\n{{/facts}}", 2, 1, "'Key: value'"},
        {"ab\u2801", 1, 3, "(U+2801) is not in code page 437"},
        {"\u266A", 1, 1, "ends lines"},
        {"{{nothing}}", 1, 1, "{{nothing}} has no value"},
        {"123456789012345678901", 1, 1, "21 columns wide; 20 are available"},
        {"{{box}}\n12345678901234567\n{{/box}}", 2, 1, "17 columns wide; 16 are available"},
        {"{{art}}", 1, 1, "expected a picture"},
        {"{{art p --gamma 99}}", 1, 9, "--gamma takes a number"},
        {"{{art p --columns 30}}", 1, 1, "p: the art is 30 columns wide; 20 are available"},
        {"  {{logo A --font}}", 1, 12, "expected a font"},
        {"{{logo A --font nothere}}", 1, 1, "no font nothere"},
        {"{{box \"open}}", 1, 7, "closing \""},
        {"a\rb", 1, 2, "carriage return"},
        {"{{wrap}}\nab " + std::string(21, 'x') + "\n{{/wrap}}", 2, 1, "21 columns long"},
    };
    for (const auto& c : cases) {
        try {
            ComposeText(c.text, 20, {{"title", "t"}});
            ADD_FAILURE() << c.text << ": composed";
        } catch (const TemplateError& error) {
            EXPECT_EQ(error.Line(), c.line) << c.text << ": " << error.what();
            EXPECT_EQ(error.Column(), c.column) << c.text << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find(c.saying), std::string::npos) << c.text << ": " << error.what();
        }
    }
}

TEST(Compose, RefusesAFileLongerThanTheLayoutAllows)
{
    BlackPictures pictures;
    const std::string ten = Lines(std::vector<std::string>(10, "x"));
    EXPECT_EQ(Compose(ten, {}, pictures, Unsigned(45, 10)).LineCount(), 10);
    try {
        Compose(ten + "x", {}, pictures, Unsigned(45, 10));
        ADD_FAILURE() << "11 lines composed";
    } catch (const TemplateError& error) {
        EXPECT_NE(std::string(error.what()).find("comes out 11 lines long; at most 10"), std::string::npos)
            << error.what();
    }
}

TEST(Compose, SignsWithTheClosingLineOrItsWordsWhereItDoesNotFit)
{
    BlackPictures pictures;
    const ComposeOptions nfo;
    EXPECT_EQ(Compose("x", {}, pictures, nfo).Cp437(),
              "x\r\n\r\n                           -created with tavix's zor ezedudu-\r\n");
    ComposeOptions diz;
    diz.shape = ShapeOf(PageLayout::Diz);
    EXPECT_EQ(Compose("x", {}, pictures, diz).Cp437(), "x\r\n\r\n     -created with tavix's zor ezedudu-\r\n");
}

TEST(TemplateFieldNames, ListsEachFieldOnceInTheOrderItFirstAppearsInsideBlocksToo)
{
    const std::string text = "{{title}} {{{{x}}\n{{box single \"T\"}}\n{{facts}}\nSize: {{size}}\n{{/facts}}\n"
                             "{{center}}\n{{date}} {{title}}\n{{/center}}\n{{/box}}\n{{rule}}\n{{art a.png}}\n";
    EXPECT_EQ(TemplateFieldNames(text), (std::vector<std::string>{"title", "size", "date"}));
    EXPECT_THROW(TemplateFieldNames("{{box single}}\n{{title}}\n"), TemplateError);
}

} // namespace
} // namespace ezedudu
