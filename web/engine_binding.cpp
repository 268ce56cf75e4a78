// The page's way into the engine: the option table as data, the picture the
// worker holds, converted with options given as command-line words, exactly
// as ezedudu-cli converts it, and templates composed over the pictures the
// page added, as ezedudu-cli --compose composes them.
#include "bitmap_rows.h"
#include "rgba_rows.h"
#include "shared_bytes_stream.h"

#include "ezedudu/art_conversion.h"
#include "ezedudu/box_shrink.h"
#include "ezedudu/compose.h"
#include "ezedudu/editor_defaults.h"
#include "ezedudu/error.h"
#include "ezedudu/page_writer.h"
#include "ezedudu/option_table.h"
#include "ezedudu/pixel_limit.h"
#include "ezedudu/preview_layout.h"
#include "ezedudu/shell_words.h"
#include "ezedudu/template_field_names.h"

#include <emscripten/bind.h>
#include <emscripten/heap.h>
#include <emscripten/val.h>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <span>
#include <exception>
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

// Every option of a table as the page builds its control: names, ranges,
// choices and presets, ezedudu-cli's default and the value the page starts
// with (EditorDefaults), as the text ParseOptionValue reads.
val OptionTableData(std::span<const OptionEntry> table)
{
    const ArtSettings startWith = EditorDefaults();
    val options = val::array();
    for (const OptionEntry& entry : table) {
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

// What is wrong with the art options in words ("--columns", "79",
// "--invert"): {error, field}, both empty when nothing is.
val WordsErrorOf(val words)
{
    ArtSettings settings;
    const OptionWordsError error = ParseOptionWords(emscripten::vecFromJSArray<std::string>(words), settings);
    val result = val::object();
    result.set("error", error.reason);
    result.set("field", Text(error.flag));
    return result;
}

// The values of options by flag ({columns: "79"}, texts only) that cannot be read, each
// with its usage error, so that the page forgets what it kept of an older
// version or a hand edit.
val OptionErrors(val values)
{
    val errors = val::object();
    const val flags = val::global("Object").call<val>("keys", values);
    for (const std::string& flag : emscripten::vecFromJSArray<std::string>(flags)) {
        const OptionEntry* option = FindOption(flag);
        OptionValue value;
        if (!option)
            errors.set(flag, "no such option");
        else if (std::string error = ParseOptionValue(*option, values[flag].as<std::string>(), value); !error.empty())
            errors.set(flag, error);
    }
    return errors;
}

// The command line for these words, every word quoted for a POSIX shell.
std::string ShellCommandOf(val words)
{
    return ShellCommand(emscripten::vecFromJSArray<std::string>(words));
}

// A picture the worker holds: a file's bytes, or pixels the browser decoded,
// or why the browser could not hand it over.
struct HeldInput {
    std::shared_ptr<const std::string> bytes;
    bool decoded = false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool alpha = false;
    std::string failure;
};

// The pictures held by name: "" the one converted into art, any other name
// one that templates name.
std::map<std::string, HeldInput>& Held()
{
    static std::map<std::string, HeldInput> held;
    return held;
}

HeldInput& Input()
{
    return Held()[""];
}

// Where the page writes a picture's bytes before it holds them: copying
// them in through the module's memory is many times faster than handing
// them over as a value.
std::string& Incoming()
{
    static std::string incoming;
    return incoming;
}

// Opens a held picture as ezedudu-cli opens a file, with the pixel limit.
std::unique_ptr<RowSource> OpenInput(const HeldInput& input, std::int64_t maxPixels)
{
    if (!input.failure.empty())
        throw Error(Error::Kind::UnreadablePicture, input.failure);
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
// until the module next runs. The picture held before under this name is let
// go first, so that its memory takes the new one.
val PictureBuffer(double size, std::string name)
{
    Held().erase(name);
    Incoming().clear();
    Incoming().shrink_to_fit();
    Incoming().assign(static_cast<std::size_t>(size), '\0');
    return val(emscripten::typed_memory_view(Incoming().size(), Incoming().data()));
}

std::shared_ptr<const std::string> TakeIncoming()
{
    auto bytes = std::make_shared<const std::string>(std::move(Incoming()));
    Incoming().clear();
    return bytes;
}

// Holds the buffer under the name as a file's bytes, which the bitmap reader
// reads: the page hands over only bitmaps this way, and decodes other formats
// itself.
void HoldFile(std::string name)
{
    Held()[name] = HeldInput{TakeIncoming(), false, 0, 0, false, {}};
}

// Holds the buffer under the name as width x height RGBA pixels; alpha false
// when every pixel is opaque. Returns an empty text, or why they cannot be held.
std::string HoldPixels(std::string name, double width, double height, bool alpha)
{
    const std::int64_t w = std::int64_t(width), h = std::int64_t(height);
    if (std::int64_t(Incoming().size()) != w * h * 4)
        return "the browser handed over pixels that do not fill " + std::to_string(w) + " x " + std::to_string(h);
    Held()[name] = HeldInput{TakeIncoming(), true, w, h, alpha, {}};
    return {};
}

// Remembers under the name why the page could not hand a picture over, for
// the template that names it to tell.
void HoldFailure(std::string name, std::string reason)
{
    Held()[name] = HeldInput{.failure = std::move(reason)};
}

void LetGo(std::string name)
{
    Held().erase(name);
}

// Why a picture of width x height pixels is refused with these words
// (over their pixel limit, or words that cannot be read), or an empty text:
// asked from the picture's header, before it is decoded.
std::string PixelLimitError(double width, double height, val words)
{
    ArtSettings settings;
    if (OptionWordsError error = ParseOptionWords(emscripten::vecFromJSArray<std::string>(words), settings);
        !error.reason.empty())
        return error.reason;
    try {
        CheckPixelLimit(std::int64_t(width), std::int64_t(height), settings.conversion.maxPixels);
    } catch (const Error& failure) {
        return Explain(failure);
    }
    return {};
}

// The held picture shrunk by whole blocks until its longer side is at most
// maxSide pixels, to be shown beside its art: {width, height, pixels} in RGBA
// order, opaque; null when the picture cannot be read.
val Thumbnail(double maxSide)
{
    try {
        // The picture was converted already: within its pixel limit.
        const std::unique_ptr<RowSource> picture = OpenInput(Input(), std::numeric_limits<std::int64_t>::max());
        const std::int64_t side = std::max(picture->Width(), picture->Height());
        const int factor = int(std::max<std::int64_t>(1, (side + std::int64_t(maxSide) - 1) / std::int64_t(maxSide)));
        const std::optional<HeldPicture> shrunk = ShrinkByBlocks(*picture, factor);
        const Canvas& view = shrunk->View();
        std::string rgba(static_cast<std::size_t>(view.Width() * view.Height() * 4), '\0');
        char* out = rgba.data();
        for (std::int64_t y = 0; y < view.Height(); ++y) {
            for (const std::uint32_t* pixel = view.Row(y); pixel != view.Row(y) + view.Width(); ++pixel) {
                *out++ = char(*pixel >> 16);
                *out++ = char(*pixel >> 8);
                *out++ = char(*pixel);
                *out++ = char(0xFF);
            }
        }
        val result = val::object();
        result.set("width", double(view.Width()));
        result.set("height", double(view.Height()));
        result.set("pixels", Bytes(rgba));
        return result;
    } catch (const std::exception&) {
        return val::null();
    }
}

// The bytes the module's memory takes now: it grows with the largest picture
// and never shrinks, so the page starts a fresh worker after a large one.
double MemoryBytes()
{
    return double(emscripten_get_heap_size());
}

// The preview as the CLI's --preview draws it, in the canvas's RGBA order.
void AddPreview(const Page& page, const ArtSettings& settings, val& result)
{
    const PreviewLayout layout(page, settings.conversion.cellAspect);
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

// Runs work and tells what it threw as the result's "error" (or error, when it
// threw nothing), and where a template is at fault as "line" and "column":
// an exception that reached the page would be only a number there.
template <typename Work>
void TellFailures(val& result, std::string& error, const Work& work)
{
    try {
        work();
    } catch (const TemplateError& fault) {
        error = fault.what();
        result.set("line", double(fault.Line()));
        result.set("column", double(fault.Column()));
    } catch (const Error& failure) {
        error = Explain(failure);
    } catch (const std::bad_alloc&) {
        error = "not enough memory for this in the browser";
    } catch (const std::exception& failure) {
        error = std::string("the engine failed: ") + failure.what();
    } catch (...) {
        error = "the engine failed for a reason it did not name";
    }
    result.set("error", error);
}

// Converts the held picture. The result has "error" (the CLI's reason, or
// empty) with "field", the option a usage error is about, and, without an
// error, the NFO bytes, their UTF-8 text, the art's size, the preview and the
// command-line words of the options.
val Convert(val words)
{
    val result = val::object();
    ArtSettings settings;
    const OptionWordsError wordsError = ParseOptionWords(emscripten::vecFromJSArray<std::string>(words), settings);
    std::string error = wordsError.reason;
    result.set("field", Text(wordsError.flag));
    TellFailures(result, error, [&] {
        if (error.empty()) {
            const std::unique_ptr<RowSource> picture = OpenInput(Input(), settings.conversion.maxPixels);
            const ConvertedArt converted = *ConvertArt(*picture, settings.conversion);
            result.set("nfo", Bytes(converted.page.Cp437()));
            result.set("text", WritePage(converted.page, TextEncoding::Utf8));
            result.set("columns", double(converted.art.columns));
            result.set("rows", double(converted.art.rows));
            AddPreview(converted.page, settings, result);
            val arguments = val::array();
            for (const std::string& argument : ArgumentsFor(settings, true))
                arguments.call<void>("push", argument);
            result.set("arguments", arguments);
        }
    });
    return result;
}

// The pictures a template names are those the page added, by the name of
// their file: the page cannot open paths, so "art/logo.png" is the logo.png
// added. Fonts are the ones built in.
class HeldPictures : public TemplateSources {
public:
    std::shared_ptr<const RowSource> OpenPicture(const std::string& name, const ConversionOptions& options) override
    {
        const std::string file = name.substr(name.find_last_of("/\\") + 1);
        const auto held = Held().find(file);
        if (file.empty() || held == Held().end())
            throw Error(Error::Kind::MissingFile,
                        "no picture of this name has been added to the page: add " + (file.empty() ? name : file) +
                            " with Add pictures…, or drop or paste it");
        return OpenInput(held->second, options.maxPixels);
    }

    std::string ReadFont(const std::string& name) override
    {
        throw Error(Error::Kind::MissingFile, "the page reads no font files: " + name);
    }
};

// Reads the page's options (--layout, --width) and the art options
// (--signature, --preview-theme, ...) from one list of words.
OptionWordsError ParseComposeWords(const std::vector<std::string>& words, ArtSettings& settings)
{
    std::vector<std::string> artWords;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::span<const OptionEntry> table = PageOptionTable();
        const auto page = std::find_if(table.begin(), table.end(), [&](const OptionEntry& entry) {
            return words[i] == "--" + std::string(entry.flag);
        });
        if (page == table.end() || i + 1 == words.size()) {
            artWords.push_back(words[i]);
            continue;
        }
        OptionValue value;
        if (std::string error = ParseOptionValue(*page, words[++i], value); !error.empty())
            return {error, page->flag};
        page->set(settings, value);
    }
    return ParseOptionWords(artWords, settings);
}

// Composes the template with the field values ({title: "..."}) and the
// words. The result has "error", and for a fault in the template the "line"
// and "column" it lies at; "fields", the names the template asks for when it
// can be read; and without an error the file's bytes, their UTF-8 text, its
// size and its preview.
val ComposePage(std::string templateText, val fieldValues, val words)
{
    val result = val::object();
    ArtSettings settings;
    const OptionWordsError wordsError = ParseComposeWords(emscripten::vecFromJSArray<std::string>(words), settings);
    std::string error = wordsError.reason;
    result.set("field", Text(wordsError.flag));
    TellFailures(result, error, [&] {
        val names = val::array();
        for (const std::string& name : TemplateFieldNames(templateText))
            names.call<void>("push", name);
        result.set("fields", names);
        if (!error.empty())
            return;
        TemplateFields fields;
        const val keys = val::global("Object").call<val>("keys", fieldValues);
        for (const std::string& name : emscripten::vecFromJSArray<std::string>(keys))
            fields[name] = fieldValues[name].as<std::string>();
        HeldPictures pictures;
        const Page page =
            Compose(templateText, fields, pictures, {settings.page.Shape(), settings.conversion.layout.signature});
        result.set("nfo", Bytes(page.Cp437()));
        result.set("text", WritePage(page, TextEncoding::Utf8));
        result.set("columns", double(page.Width()));
        result.set("rows", double(page.LineCount()));
        AddPreview(page, settings, result);
    });
    return result;
}

} // namespace
} // namespace ezedudu

EMSCRIPTEN_BINDINGS(ezedudu)
{
    emscripten::function("optionTable", +[] { return ezedudu::OptionTableData(ezedudu::OptionTable()); });
    emscripten::function("pageOptionTable", +[] { return ezedudu::OptionTableData(ezedudu::PageOptionTable()); });
    emscripten::function("pictureBuffer", &ezedudu::PictureBuffer);
    emscripten::function("holdFile", &ezedudu::HoldFile);
    emscripten::function("holdPixels", &ezedudu::HoldPixels);
    emscripten::function("holdFailure", &ezedudu::HoldFailure);
    emscripten::function("letGo", &ezedudu::LetGo);
    emscripten::function("compose", &ezedudu::ComposePage);
    emscripten::function("pixelLimitError", &ezedudu::PixelLimitError);
    emscripten::function("convert", &ezedudu::Convert);
    emscripten::function("optionErrors", &ezedudu::OptionErrors);
    emscripten::function("wordsError", &ezedudu::WordsErrorOf);
    emscripten::function("shellCommand", &ezedudu::ShellCommandOf);
    emscripten::function("memoryBytes", &ezedudu::MemoryBytes);
    emscripten::function("thumbnail", &ezedudu::Thumbnail);
}
