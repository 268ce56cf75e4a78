// The page's way into the engine: the option table as data, and the one
// picture the worker holds, converted with options given as command-line
// words, exactly as ezedudu-cli converts it.
#include "bitmap_rows.h"
#include "rgba_rows.h"
#include "shared_bytes_stream.h"

#include "ezedudu/art_conversion.h"
#include "ezedudu/editor_defaults.h"
#include "ezedudu/error.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/option_table.h"
#include "ezedudu/pixel_limit.h"
#include "ezedudu/preview_layout.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ezedudu {
namespace {

using emscripten::val;

// The most preview pixels the page draws (art of about 1000 x 250
// characters); larger art is saved and copied, but not drawn.
constexpr std::int64_t MaxPreviewPixels = 16'000'000;

const char* TypeName(OptionType type)
{
    switch (type) {
    case OptionType::Whole: return "whole";
    case OptionType::Decimal: return "decimal";
    case OptionType::Choice: return "choice";
    case OptionType::Switch: return "switch";
    case OptionType::Text: return "text";
    case OptionType::Colour: return "colour";
    }
    return "";
}

const char* ControlName(OptionControl control)
{
    switch (control) {
    case OptionControl::SpinBox: return "spinbox";
    case OptionControl::Slider: return "slider";
    case OptionControl::ComboBox: return "combobox";
    case OptionControl::CheckBox: return "checkbox";
    case OptionControl::LineEdit: return "lineedit";
    }
    return "";
}

val Text(std::string_view text)
{
    return val(std::string(text));
}

// Every option as the page builds its control: names, ranges, choices and
// presets, ezedudu-cli's default and the value the page starts with
// (EditorDefaults), as the text ParseOptionValue reads.
val OptionTableData()
{
    const ArtSettings startWith = EditorDefaults();
    val options = val::array();
    for (const OptionEntry& entry : OptionTable()) {
        val option = val::object();
        option.set("flag", Text(entry.flag));
        option.set("type", val(TypeName(entry.type)));
        option.set("valueName", Text(entry.valueName));
        option.set("minimum", entry.minimum);
        option.set("maximum", entry.maximum);
        option.set("decimals", entry.decimals);
        option.set("unsetName", Text(entry.unsetName));
        val choices = val::array();
        for (const OptionChoice& choice : entry.choices) {
            val item = val::object();
            item.set("name", Text(choice.name));
            item.set("label", Text(choice.label));
            choices.call<void>("push", item);
        }
        option.set("choices", choices);
        val presets = val::array();
        for (const OptionPreset& preset : entry.presets) {
            val item = val::object();
            item.set("label", Text(preset.label));
            item.set("value", FormatOptionValue(entry, preset.value));
            presets.call<void>("push", item);
        }
        option.set("presets", presets);
        option.set("settingsKey", Text(entry.settingsKey));
        option.set("help", Text(entry.help));
        option.set("label", Text(entry.label));
        option.set("control", val(ControlName(entry.control)));
        option.set("previewOnly", entry.previewOnly);
        option.set("defaultValue", FormatOptionValue(entry, entry.Default()));
        option.set("startValue", FormatOptionValue(entry, entry.get(startWith)));
        options.call<void>("push", option);
    }
    return options;
}

// The art options in words ("--columns", "79", "--invert") laid over the
// defaults; an empty text, or the usage error.
std::string ReadWords(const std::vector<std::string>& words, ArtSettings& settings)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::string_view flag = word.rfind("--", 0) == 0 ? std::string_view(word).substr(2) : "";
        const std::span<const OptionEntry> table = OptionTable();
        const auto found =
            std::find_if(table.begin(), table.end(), [flag](const OptionEntry& entry) { return entry.flag == flag; });
        if (found == table.end())
            return "unknown option '" + word + "'";
        std::string text;
        if (found->type != OptionType::Switch) {
            if (++i == words.size())
                return "missing value after '" + word + "'";
            text = words[i];
        }
        OptionValue value;
        if (std::string error = ParseOptionValue(*found, text, value); !error.empty())
            return error;
        found->set(settings, value);
    }
    return {};
}

// The picture the worker holds: a file's bytes, or pixels the browser decoded.
struct HeldInput {
    std::shared_ptr<const std::string> bytes;
    bool decoded = false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool alpha = false;
};

HeldInput& Input()
{
    static HeldInput input;
    return input;
}

// Where the page writes a picture's bytes before it holds them: copying
// them in through the module's memory is many times faster than handing
// them over as a value.
std::string& Incoming()
{
    static std::string incoming;
    return incoming;
}

// Opens the held picture as ezedudu-cli opens a file, with the pixel limit.
std::unique_ptr<RowSource> OpenInput(std::int64_t maxPixels)
{
    const HeldInput& input = Input();
    if (!input.bytes || input.bytes->empty())
        throw Error(Error::Kind::UnreadablePicture, "the input is empty");
    if (input.decoded) {
        CheckPixelLimit(input.width, input.height, maxPixels);
        return std::make_unique<RgbaRows>(*input.bytes, input.width, input.height, input.alpha);
    }
    const std::shared_ptr<const std::string> bytes = input.bytes;
    return std::make_unique<BitmapRows>([bytes] { return std::make_unique<SharedBytesStream>(bytes); },
                                        bytes->size(), maxPixels);
}

val Bytes(std::string_view bytes)
{
    // A copy: views into the module's memory die when it grows.
    return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

// A view of size bytes of the module's memory for the page to fill, valid
// until the module next runs.
val PictureBuffer(double size)
{
    Incoming().assign(static_cast<std::size_t>(size), '\0');
    return val(emscripten::typed_memory_view(Incoming().size(), Incoming().data()));
}

std::shared_ptr<const std::string> TakeIncoming()
{
    auto bytes = std::make_shared<const std::string>(std::move(Incoming()));
    Incoming().clear();
    return bytes;
}

// Holds the buffer as a file's bytes. False when they are not a bitmap: the
// browser decodes those and hands over their pixels.
bool HoldFile()
{
    Input() = HeldInput{TakeIncoming()};
    const std::string& bytes = *Input().bytes;
    return bytes.empty() || (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M');
}

// Holds the buffer as width x height RGBA pixels; alpha false when every
// pixel is opaque.
void HoldPixels(int width, int height, bool alpha)
{
    Input() = HeldInput{TakeIncoming(), true, width, height, alpha};
    if (std::int64_t(Input().bytes->size()) != std::int64_t(width) * height * 4)
        throw std::invalid_argument("the pixels do not fill " + std::to_string(width) + " x " + std::to_string(height));
}

// The preview as the CLI's --preview draws it, in the canvas's RGBA order.
void AddPreview(const std::string& nfo, const ArtSettings& settings, val& result)
{
    const PreviewLayout layout(nfo, settings.conversion.cellAspect);
    if (layout.Width() * layout.Height() > MaxPreviewPixels)
        return;
    std::vector<std::uint32_t> words(static_cast<std::size_t>(layout.Width() * layout.Height()));
    layout.Draw(settings.theme, words);
    std::string rgba(words.size() * 4, '\0');
    for (std::size_t i = 0; i < words.size(); ++i) {
        rgba[4 * i] = char(words[i] >> 16);
        rgba[4 * i + 1] = char(words[i] >> 8);
        rgba[4 * i + 2] = char(words[i]);
        rgba[4 * i + 3] = char(words[i] >> 24);
    }
    result.set("previewWidth", double(layout.Width()));
    result.set("previewHeight", double(layout.Height()));
    result.set("preview", Bytes(rgba));
}

// Converts the held picture. The result has "error" (the CLI's reason, or
// empty) and, without one, the NFO bytes, their UTF-8 text, the art's size,
// the preview and the command-line words of the options.
val Convert(val words)
{
    val result = val::object();
    ArtSettings settings;
    std::string error = ReadWords(emscripten::vecFromJSArray<std::string>(words), settings);
    try {
        if (error.empty()) {
            const std::unique_ptr<RowSource> picture = OpenInput(settings.conversion.maxPixels);
            const std::string nfo = *ConvertArt(*picture, settings.conversion);
            const ArtSize size = MeasureArt(nfo);
            result.set("nfo", Bytes(nfo));
            result.set("text", NfoToUtf8(nfo));
            result.set("columns", double(size.columns));
            result.set("rows", double(size.rows));
            AddPreview(nfo, settings, result);
            val arguments = val::array();
            for (const std::string& argument : ArgumentsFor(settings, true))
                arguments.call<void>("push", argument);
            result.set("arguments", arguments);
        }
    } catch (const Error& failure) {
        error = Explain(failure);
    } catch (const std::bad_alloc&) {
        error = "not enough memory for this picture in the browser";
    }
    result.set("error", error);
    return result;
}

} // namespace
} // namespace ezedudu

EMSCRIPTEN_BINDINGS(ezedudu)
{
    emscripten::function("optionTable", &ezedudu::OptionTableData);
    emscripten::function("pictureBuffer", &ezedudu::PictureBuffer);
    emscripten::function("holdFile", &ezedudu::HoldFile);
    emscripten::function("holdPixels", &ezedudu::HoldPixels);
    emscripten::function("convert", &ezedudu::Convert);
}
