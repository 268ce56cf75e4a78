#pragma once

#include "ezedudu/conversion_options.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ezedudu {

// An option's value: nothing for an option left unset (art as wide as the
// rows make it, no signature), a number (a choice as its index, a switch as
// 0 or 1), or a text.
using OptionValue = std::variant<std::monostate, double, std::string>;

// The value's number; 0 for any other value.
inline double NumberOf(const OptionValue& value)
{
    const double* number = std::get_if<double>(&value);
    return number ? *number : 0;
}

enum class OptionType {
    Whole,   // a whole number from minimum to maximum
    Decimal, // a number from minimum to maximum
    Choice,  // one of the names of choices
    Switch,  // given or not, without a value
    Text,    // printable ASCII, at most maximum characters
    Colour,  // #RRGGBB, its value 0xRRGGBB
};

// The studio's control for the option.
enum class OptionControl { SpinBox, Slider, ComboBox, CheckBox, LineEdit };

struct OptionChoice {
    std::string_view name;  // on the command line and in the settings
    std::string_view label; // in the studio
};

// A number the studio offers by name, such as a common viewer's cell shape.
struct OptionPreset {
    std::string_view label;
    double value;
};

// One art option, everywhere it appears: the command line of every program,
// --help, the studio's control, its remembered setting and Copy Command.
// The default is what get answers for ArtSettings{}.
struct OptionEntry {
    std::string_view flag;         // "columns" is --columns
    OptionType type = OptionType::Switch;
    std::string_view valueName {}; // the value in --help: "N"
    double minimum = 0;
    double maximum = 0;
    int decimals = 0;            // a decimal's places in the studio
    std::string_view unsetName {}; // the word for leaving it unset, where it may be
    std::span<const OptionChoice> choices {};
    std::span<const OptionPreset> presets {};
    std::string_view settingsKey {};
    std::string_view help {};
    std::string_view label {}; // the studio's label for its control
    OptionControl control = OptionControl::CheckBox;
    bool previewOnly = false;    // only programs that draw previews take it
    OptionValue (*get)(const ArtSettings&) = nullptr;
    void (*set)(ArtSettings&, const OptionValue&) = nullptr;

    OptionValue Default() const { return get(ArtSettings{}); }
};

// Every art option, in the order --help and the studio show them.
std::span<const OptionEntry> OptionTable();

// The options of the page that whole files are checked against (--width,
// --layout); only ezedudu-cli takes them.
std::span<const OptionEntry> PageOptionTable();

// Reads the text of an option's value. Returns an empty text, or the usage
// error: "--gamma takes a number from 0.1 to 10".
std::string ParseOptionValue(const OptionEntry& option, std::string_view text, OptionValue& value);

// The text that ParseOptionValue reads back as exactly this value.
std::string FormatOptionValue(const OptionEntry& option, const OptionValue& value);

// What the option takes and its default, for --help: "1 to 100000 or auto;
// default auto".
std::string DescribeValues(const OptionEntry& option);

// The command-line words that give these settings: the options that differ
// from their defaults, in the table's order ("--columns", "79", "--invert").
std::vector<std::string> ArgumentsFor(const ArtSettings& settings, bool withPreviewOptions);

} // namespace ezedudu
