#include "ezedudu/option_table.h"

#include <gtest/gtest.h>

#include <set>

namespace ezedudu {
namespace {

// The art options, then the page's.
std::vector<const OptionEntry*> EveryOption()
{
    std::vector<const OptionEntry*> options;
    for (const std::span<const OptionEntry> table : {OptionTable(), PageOptionTable()})
        for (const OptionEntry& option : table)
            options.push_back(&option);
    return options;
}

const OptionEntry& Option(std::string_view flag)
{
    for (const OptionEntry* option : EveryOption())
        if (option->flag == flag)
            return *option;
    throw std::invalid_argument(std::string(flag));
}

// What a program writes (settings, Copy Command) it reads back exactly, for
// every option's default and both ends of its range.
TEST(OptionTable, ReadsBackWhatItWrites)
{
    std::set<std::string_view> flags, keys;
    for (const OptionEntry* entry : EveryOption()) {
        const OptionEntry& option = *entry;
        EXPECT_TRUE(flags.insert(option.flag).second) << option.flag << " twice";
        EXPECT_TRUE(keys.insert(option.settingsKey).second) << option.settingsKey << " twice";
        std::vector<OptionValue> values{option.Default()};
        if (option.type == OptionType::Whole || option.type == OptionType::Decimal)
            values.insert(values.end(), {option.minimum, option.maximum});
        for (const OptionValue& value : values) {
            OptionValue back = 12345.0;
            EXPECT_EQ(ParseOptionValue(option, FormatOptionValue(option, value), back), "") << option.flag;
            EXPECT_EQ(back, value) << option.flag;
        }
    }
}

TEST(OptionTable, RefusesValuesOutsideTheRange)
{
    const struct {
        std::string_view flag;
        std::string_view text;
        std::string error;
    } cases[] = {
        {"columns", "0", "--columns takes a whole number from 1 to 100000 or auto"},
        {"columns", "7.5", "--columns takes a whole number from 1 to 100000 or auto"},
        {"columns", "auto", ""},
        {"gamma", "8", ""},
        {"gamma", "0.05", "--gamma takes a number from 0.1 to 10"},
        {"gamma", "inf", "--gamma takes a number from 0.1 to 10"},
        {"gamma", "1,5", "--gamma takes a number from 0.1 to 10"},
        {"cell-aspect", "1e9", "--cell-aspect takes a number from 0.1 to 10"},
        {"contrast", "-101", "--contrast takes a whole number from -100 to 100"},
        {"max-megapixels", "1000001", "--max-megapixels takes a whole number from 1 to 1000000"},
        {"dither", "ordered", ""},
        {"dither", "Ordered", "--dither takes none, floyd-steinberg or ordered"},
        {"invert", "yes", "--invert takes no value"},
        {"center", "off", ""},
        {"signature", "none", ""},
        {"signature", "made by us", ""},
        {"signature", "caf\xC3\xA9", "--signature takes printable ASCII text of up to 200 characters, or none"},
        {"width", "1000", ""},
        {"width", "1001", "--width takes a whole number from 1 to 1000"},
        {"layout", "diz", ""},
        {"layout", "dos", "--layout takes nfo, p2p or diz"},
    };
    for (const auto& c : cases) {
        OptionValue value;
        EXPECT_EQ(ParseOptionValue(Option(c.flag), c.text, value), c.error) << c.flag << " " << c.text;
    }
}

TEST(OptionTable, DescribesEachOptionsValues)
{
    EXPECT_EQ(DescribeValues(Option("gamma")), "0.1 to 10; default 1");
    EXPECT_EQ(DescribeValues(Option("columns")), "1 to 100000 or auto; default auto");
    EXPECT_EQ(DescribeValues(Option("dither")), "none, floyd-steinberg or ordered; default none");
    EXPECT_EQ(DescribeValues(Option("invert")), "");
    EXPECT_EQ(DescribeValues(Option("width")), "1 to 1000; default 80");
}

// A layout sets the width and the number of lines; --width replaces the
// layout's width, whichever comes first.
TEST(OptionTable, GivesThePageOfTheLayoutOrTheWidth)
{
    const struct {
        std::vector<std::pair<std::string_view, std::string_view>> options;
        std::int64_t width;
        std::optional<std::int64_t> maxLines;
    } cases[] = {
        {{}, 80, std::nullopt},
        {{{"layout", "p2p"}}, 70, std::nullopt},
        {{{"layout", "diz"}}, 45, 10},
        {{{"width", "60"}, {"layout", "diz"}}, 60, 10},
        {{{"layout", "nfo"}, {"width", "100"}}, 100, std::nullopt},
    };
    for (const auto& c : cases) {
        ArtSettings settings;
        for (const auto& [flag, text] : c.options) {
            OptionValue value;
            ASSERT_EQ(ParseOptionValue(Option(flag), text, value), "");
            Option(flag).set(settings, value);
        }
        EXPECT_EQ(settings.page.Shape().width, c.width);
        EXPECT_EQ(settings.page.Shape().maxLines, c.maxLines);
        EXPECT_EQ(Option("width").get(settings), OptionValue(double(c.width)));
    }
}

TEST(OptionTable, GivesTheArgumentsThatDifferFromTheDefaults)
{
    ArtSettings settings;
    EXPECT_TRUE(ArgumentsFor(settings, true).empty());
    settings.conversion.columns = 79;
    settings.conversion.cellAspect = 16.0 / 9.0;
    settings.conversion.art.tone.invert = true;
    settings.conversion.art.dither = Dither::FloydSteinberg;
    settings.theme = PreviewTheme::Dark;
    const std::vector<std::string> art = {"--columns", "79", "--cell-aspect", "1.7777777777777777",
                                          "--invert", "--dither", "floyd-steinberg"};
    EXPECT_EQ(ArgumentsFor(settings, false), art);
    std::vector<std::string> withPreview = art;
    withPreview.insert(withPreview.end(), {"--preview-theme", "dark"});
    EXPECT_EQ(ArgumentsFor(settings, true), withPreview);
}

} // namespace
} // namespace ezedudu
