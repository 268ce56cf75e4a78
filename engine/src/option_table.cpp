#include "ezedudu/option_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>

namespace ezedudu {
namespace {

constexpr double MaxArtSide = 100'000;
constexpr double PixelsPerMegapixel = 1'000'000;

constexpr OptionChoice LevelsChoices[] = {{"off", "As they are"}, {"auto", "Stretched (1st to 99th percentile)"}};
constexpr OptionChoice DitherChoices[] = {
    {"none", "None"}, {"floyd-steinberg", "Floyd\u2013Steinberg"}, {"ordered", "Ordered (4 \u00d7 4 Bayer)"}};
constexpr OptionChoice GlyphChoices[] = {{"shades", "Shades"}, {"blocks", "Shades and half blocks"}, {"lines", "Blocks and line shapes"}};
constexpr OptionChoice ThemeChoices[] = {{"light", "Dark on white"}, {"dark", "Light grey on black"}};
constexpr OptionChoice LayoutChoices[] = {{"nfo", "Scene NFO, 80 columns"},
                                          {"p2p", "P2P NFO, 70 columns"},
                                          {"diz", "FILE_ID.DIZ, 45 columns and at most 10 lines"}};
constexpr OptionPreset CellPresets[] = {
    {"8 \u00d7 16 VGA (2.0)", 2.0}, {"9 \u00d7 16 (1.78)", 16.0 / 9.0}, {"Plain 2 \u00d7 3 grid (1.5)", 1.5}};

OptionValue Unset(const std::optional<std::int64_t>& count)
{
    return count ? OptionValue(double(*count)) : OptionValue();
}

std::optional<std::int64_t> Count(const OptionValue& value)
{
    return std::holds_alternative<double>(value) ? std::optional(std::int64_t(NumberOf(value))) : std::nullopt;
}

// ToneOptions and the preview theme keep their own types; the table hands
// them over as numbers.
const OptionEntry Table[] = {
    {.flag = "columns", .type = OptionType::Whole, .valueName = "N", .minimum = 1, .maximum = MaxArtSide,
     .unsetName = "auto", .settingsKey = "art/columns",
     .help = "Make the art N characters wide (NFO viewers show 80: 79 fits them); auto follows --rows, or the "
             "picture's own size (a character for every 2 x 3 pixels) when both are auto.",
     .label = "Columns", .control = OptionControl::SpinBox,
     .get = [](const ArtSettings& s) { return Unset(s.conversion.columns); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.columns = Count(v); }},
    {.flag = "rows", .type = OptionType::Whole, .valueName = "M", .minimum = 1, .maximum = MaxArtSide,
     .unsetName = "auto", .settingsKey = "art/rows",
     .help = "Make the art M lines high; with --columns, the largest art that fits both.",
     .label = "Lines", .control = OptionControl::SpinBox,
     .get = [](const ArtSettings& s) { return Unset(s.conversion.rows); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.rows = Count(v); }},
    {.flag = "cell-aspect", .type = OptionType::Decimal, .valueName = "A", .minimum = 0.1, .maximum = 10,
     .decimals = 2, .presets = CellPresets, .settingsKey = "art/cellAspect",
     .help = "The viewer's character height over width, so that the art keeps the picture's proportions: 2.0 for "
             "8 x 16 VGA cells, 1.5 for the plain 2 x 3 grid.",
     .label = "Viewer's cells", .control = OptionControl::ComboBox,
     .get = [](const ArtSettings& s) { return OptionValue(s.conversion.cellAspect); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.cellAspect = NumberOf(v); }},
    {.flag = "glyphs", .type = OptionType::Choice, .valueName = "SET", .choices = GlyphChoices,
     .settingsKey = "art/glyphs",
     .help = "The glyphs the art is drawn with: shades is the full block, the three shades and the space; "
             "blocks adds the half blocks where a cell holds an edge; lines adds box-drawing lines, \u25a0, "
             "slashes and punctuation for thin lines, corners and dots.",
     .label = "Glyphs", .control = OptionControl::ComboBox,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.conversion.art.glyphs)); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.glyphs = GlyphSet(int(NumberOf(v))); }},
    {.flag = "levels", .type = OptionType::Choice, .valueName = "MODE", .choices = LevelsChoices,
     .settingsKey = "art/levels",
     .help = "Levels: auto stretches the picture's 1st to 99th percentile of brightness onto the full range.",
     .label = "Levels", .control = OptionControl::ComboBox,
     .get = [](const ArtSettings& s) { return OptionValue(s.conversion.art.tone.levelsAuto ? 1.0 : 0.0); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.tone.levelsAuto = NumberOf(v) != 0; }},
    {.flag = "contrast", .type = OptionType::Whole, .valueName = "C", .minimum = -100, .maximum = 100,
     .settingsKey = "art/contrast", .help = "Contrast.", .label = "Contrast", .control = OptionControl::Slider,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.conversion.art.tone.contrast)); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.tone.contrast = int(NumberOf(v)); }},
    {.flag = "brightness", .type = OptionType::Whole, .valueName = "B", .minimum = -255, .maximum = 255,
     .settingsKey = "art/brightness", .help = "Brightness.", .label = "Brightness",
     .control = OptionControl::Slider,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.conversion.art.tone.brightness)); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.tone.brightness = int(NumberOf(v)); }},
    {.flag = "gamma", .type = OptionType::Decimal, .valueName = "G", .minimum = 0.1, .maximum = 10, .decimals = 2,
     .settingsKey = "art/gamma", .help = "Gamma; above 1 lightens the middle tones.", .label = "Gamma",
     .control = OptionControl::Slider,
     .get = [](const ArtSettings& s) { return OptionValue(s.conversion.art.tone.gamma); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.tone.gamma = NumberOf(v); }},
    {.flag = "invert", .type = OptionType::Switch, .settingsKey = "art/invert",
     .help = "Invert the tones, for viewers showing light text on dark.",
     .label = "Invert, for light-on-dark viewers", .control = OptionControl::CheckBox,
     .get = [](const ArtSettings& s) { return OptionValue(s.conversion.art.tone.invert ? 1.0 : 0.0); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.tone.invert = NumberOf(v) != 0; }},
    {.flag = "dither", .type = OptionType::Choice, .valueName = "MODE", .choices = DitherChoices,
     .settingsKey = "art/dither",
     .help = "Dithering: each cell's rounding spreads to its neighbours (floyd-steinberg), or a 4 x 4 pattern "
             "offsets the levels (ordered); both keep the mean brightness of areas.",
     .label = "Dithering", .control = OptionControl::ComboBox,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.conversion.art.dither)); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.dither = Dither(int(NumberOf(v))); }},
    {.flag = "sharpen", .type = OptionType::Decimal, .valueName = "AMOUNT", .minimum = 0, .maximum = 5,
     .decimals = 2, .settingsKey = "art/sharpen",
     .help = "Sharpen the picture at the cells' sampling resolution before the cells are formed (an unsharp "
             "mask); 0 is off.",
     .label = "Sharpen", .control = OptionControl::Slider,
     .get = [](const ArtSettings& s) { return OptionValue(s.conversion.art.sharpen); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.art.sharpen = NumberOf(v); }},
    {.flag = "background", .type = OptionType::Colour, .valueName = "#RRGGBB", .unsetName = "auto",
     .settingsKey = "art/background",
     .help = "The colour transparent pixels are laid over; auto is the colour the art leaves blank: white, or "
             "black with --invert.",
     .label = "Background", .control = OptionControl::LineEdit,
     .get = [](const ArtSettings& s) {
         return s.conversion.background ? OptionValue(double(*s.conversion.background)) : OptionValue();
     },
     .set = [](ArtSettings& s, const OptionValue& v) {
         s.conversion.background = std::holds_alternative<double>(v)
                                       ? std::optional(static_cast<std::uint32_t>(NumberOf(v)))
                                       : std::nullopt;
     }},
    {.flag = "max-megapixels", .type = OptionType::Whole, .valueName = "N", .minimum = 1, .maximum = 1'000'000,
     .settingsKey = "limits/maxMegapixels",
     .help = "Refuse pictures with more than N million pixels. Bitmaps are read a few rows at a time; other "
             "formats are decoded whole, 4 bytes a pixel: 400 million pixels take 1.6 GB of memory.",
     .label = "Pixel limit (millions)", .control = OptionControl::SpinBox,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.conversion.maxPixels) / PixelsPerMegapixel); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.maxPixels = std::int64_t(NumberOf(v) * PixelsPerMegapixel); }},
    {.flag = "center", .type = OptionType::Whole, .valueName = "WIDTH", .minimum = 1, .maximum = 1000,
     .unsetName = "off", .settingsKey = "layout/center",
     .help = "Centre the art and the closing line within WIDTH columns; NFO files are read 80 wide.",
     .label = "Centre within", .control = OptionControl::SpinBox,
     .get = [](const ArtSettings& s) { return Unset(s.conversion.layout.center); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.layout.center = Count(v); }},
    {.flag = "trim", .type = OptionType::Switch, .settingsKey = "layout/trim",
     .help = "Drop the spaces at the ends of lines: viewers show none, and the file gets smaller.",
     .label = "Trim spaces at line ends", .control = OptionControl::CheckBox,
     .get = [](const ArtSettings& s) { return OptionValue(s.conversion.layout.trim ? 1.0 : 0.0); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.conversion.layout.trim = NumberOf(v) != 0; }},
    {.flag = "signature", .type = OptionType::Text, .valueName = "TEXT", .maximum = 200, .unsetName = "none",
     .settingsKey = "layout/signature",
     .help = "The closing line's text, or none for no closing line.", .label = "Closing line",
     .control = OptionControl::LineEdit,
     .get = [](const ArtSettings& s) {
         const std::optional<std::string>& text = s.conversion.layout.signature;
         return text ? OptionValue(*text) : OptionValue();
     },
     .set = [](ArtSettings& s, const OptionValue& v) {
         const std::string* text = std::get_if<std::string>(&v);
         s.conversion.layout.signature = text ? std::optional(*text) : std::nullopt;
     }},
    {.flag = "preview-theme", .type = OptionType::Choice, .valueName = "THEME", .choices = ThemeChoices,
     .settingsKey = "preview/theme", .help = "The preview's colours: dark text on white, or light grey on black.",
     .label = "Preview", .control = OptionControl::ComboBox, .previewOnly = true,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.theme)); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.theme = PreviewTheme(int(NumberOf(v))); }},
};

// The width reads as the one in force: the layout's until --width is given.
const OptionEntry PageTable[] = {
    {.flag = "width", .type = OptionType::Whole, .valueName = "N", .minimum = 1, .maximum = 1000,
     .settingsKey = "page/width",
     .help = "The page's width in columns; without it, the layout's: 80 for nfo, 70 for p2p, 45 for diz.",
     .label = "Width", .control = OptionControl::SpinBox,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.page.Shape().width)); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.page.width = std::int64_t(NumberOf(v)); }},
    {.flag = "layout", .type = OptionType::Choice, .valueName = "LAYOUT", .choices = LayoutChoices,
     .settingsKey = "page/layout",
     .help = "The kind of file: a scene NFO (80 columns), a P2P NFO (70), or a FILE_ID.DIZ (45 columns, at most "
             "10 lines).",
     .label = "Layout", .control = OptionControl::ComboBox,
     .get = [](const ArtSettings& s) { return OptionValue(double(s.page.layout)); },
     .set = [](ArtSettings& s, const OptionValue& v) { s.page.layout = PageLayout(int(NumberOf(v))); }},
};

// Numbers read and written the same way whatever the user's locale is.
std::string NumberText(double number)
{
    if (number == std::trunc(number) && std::abs(number) < 1e15)
        return std::to_string(static_cast<long long>(number));
    std::ostringstream text;
    text.imbue(std::locale::classic());
    // The fewest digits that read back exactly.
    for (int digits = 1; digits <= 17; ++digits) {
        text.str({});
        text.precision(digits);
        text << number;
        double back = 0;
        std::istringstream reading(text.str());
        reading.imbue(std::locale::classic());
        if (reading >> back && back == number)
            break;
    }
    return text.str();
}

std::optional<double> ReadNumber(std::string_view text, OptionType type)
{
    if (type == OptionType::Whole) {
        long long whole = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), whole);
        if (error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return double(whole);
    }
    std::istringstream reading{std::string(text)};
    reading.imbue(std::locale::classic());
    double number = 0;
    if (text.empty() || !(reading >> number) || reading.peek() != std::char_traits<char>::eof() ||
        !std::isfinite(number))
        return std::nullopt;
    return number;
}

// "#RRGGBB", hexadecimal digits in either case.
std::optional<std::uint32_t> ReadColour(std::string_view text)
{
    if (text.size() != 7 || text[0] != '#')
        return std::nullopt;
    std::uint32_t colour = 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), colour, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return colour;
}

std::string ColourText(std::uint32_t colour)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        text += Digits[(colour >> shift) & 0xF];
    return text;
}

bool IsPrintableAscii(char c)
{
    return c >= ' ' && c <= '~';
}

std::string ChoiceNames(const OptionEntry& option)
{
    std::string names;
    for (std::size_t i = 0; i < option.choices.size(); ++i) {
        if (i > 0)
            names += i + 1 == option.choices.size() ? " or " : ", ";
        names += option.choices[i].name;
    }
    return names;
}

std::string RangeText(const OptionEntry& option)
{
    std::string range = NumberText(option.minimum) + " to " + NumberText(option.maximum);
    if (!option.unsetName.empty())
        range += " or " + std::string(option.unsetName);
    return range;
}

} // namespace

std::span<const OptionEntry> OptionTable()
{
    return Table;
}

std::span<const OptionEntry> PageOptionTable()
{
    return PageTable;
}

std::string ParseOptionValue(const OptionEntry& option, std::string_view text, OptionValue& value)
{
    const std::string flag = "--" + std::string(option.flag);
    if (!option.unsetName.empty() && text == option.unsetName) {
        value = std::monostate();
        return {};
    }
    switch (option.type) {
    case OptionType::Switch:
        // Given on the command line without a value; remembered as a word.
        if (text.empty() || text == "true" || text == "false") {
            value = text == "false" ? 0.0 : 1.0;
            return {};
        }
        return flag + " takes no value";
    case OptionType::Choice:
        for (std::size_t i = 0; i < option.choices.size(); ++i)
            if (text == option.choices[i].name) {
                value = double(i);
                return {};
            }
        return flag + " takes " + ChoiceNames(option);
    case OptionType::Text:
        if (double(text.size()) <= option.maximum && std::all_of(text.begin(), text.end(), IsPrintableAscii)) {
            value = std::string(text);
            return {};
        }
        return flag + " takes printable ASCII text of up to " + NumberText(option.maximum) + " characters" +
               (option.unsetName.empty() ? "" : ", or " + std::string(option.unsetName));
    case OptionType::Colour:
        if (const std::optional<std::uint32_t> colour = ReadColour(text)) {
            value = double(*colour);
            return {};
        }
        return flag + " takes a colour as #RRGGBB" +
               (option.unsetName.empty() ? "" : ", or " + std::string(option.unsetName));
    case OptionType::Whole:
    case OptionType::Decimal:
        break;
    }
    const std::optional<double> number = ReadNumber(text, option.type);
    if (!number || *number < option.minimum || *number > option.maximum)
        return flag + " takes " + (option.type == OptionType::Whole ? "a whole number" : "a number") + " from " +
               RangeText(option);
    value = *number;
    return {};
}

const OptionEntry* FindOption(std::string_view flag)
{
    const std::span<const OptionEntry> table = OptionTable();
    const auto found =
        std::find_if(table.begin(), table.end(), [flag](const OptionEntry& entry) { return entry.flag == flag; });
    return found == table.end() ? nullptr : &*found;
}

OptionWordsError ParseOptionWords(std::span<const std::string> words, ArtSettings& settings)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const OptionEntry* option = FindOption(word.rfind("--", 0) == 0 ? std::string_view(word).substr(2) : "");
        if (!option)
            return {"unknown option '" + word + "'", {}};
        std::string text;
        if (option->type != OptionType::Switch) {
            if (++i == words.size())
                return {"missing value after '" + word + "'", option->flag};
            text = words[i];
        }
        OptionValue value;
        if (std::string error = ParseOptionValue(*option, text, value); !error.empty())
            return {error, option->flag};
        option->set(settings, value);
    }
    return {};
}

std::string FormatOptionValue(const OptionEntry& option, const OptionValue& value)
{
    if (std::holds_alternative<std::monostate>(value))
        return std::string(option.unsetName);
    if (const std::string* text = std::get_if<std::string>(&value))
        return *text;
    switch (option.type) {
    case OptionType::Choice: return std::string(option.choices[std::size_t(NumberOf(value))].name);
    case OptionType::Switch: return NumberOf(value) != 0 ? "true" : "false";
    case OptionType::Colour: return ColourText(static_cast<std::uint32_t>(NumberOf(value)));
    case OptionType::Whole:
    case OptionType::Decimal:
    case OptionType::Text: break;
    }
    return NumberText(NumberOf(value));
}

std::string DescribeValues(const OptionEntry& option)
{
    const std::string defaultText = "; default " + FormatOptionValue(option, option.Default());
    switch (option.type) {
    case OptionType::Switch: return {};
    case OptionType::Choice: return ChoiceNames(option) + defaultText;
    case OptionType::Text:
        return "up to " + NumberText(option.maximum) + " characters" +
               (option.unsetName.empty() ? "" : " or " + std::string(option.unsetName)) + defaultText;
    case OptionType::Colour:
        return "#RRGGBB" + (option.unsetName.empty() ? "" : " or " + std::string(option.unsetName)) + defaultText;
    case OptionType::Whole:
    case OptionType::Decimal: break;
    }
    return RangeText(option) + defaultText;
}

std::vector<std::string> ArgumentsFor(const ArtSettings& settings, bool withPreviewOptions)
{
    std::vector<std::string> words;
    for (const OptionEntry& option : OptionTable()) {
        const OptionValue value = option.get(settings);
        if ((option.previewOnly && !withPreviewOptions) || value == option.Default())
            continue;
        words.push_back("--" + std::string(option.flag));
        if (option.type != OptionType::Switch)
            words.push_back(FormatOptionValue(option, value));
    }
    return words;
}

} // namespace ezedudu
