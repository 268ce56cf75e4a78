#include "cli_options.h"

#include "check_files.h"

#include "ezedudu/display_path.h"
#include "ezedudu/editor_defaults.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/option_table.h"
#include "ezedudu/qt_path.h"

#include <algorithm>

namespace ezedudu {
namespace {

QString Description()
{
    QString editors;
    for (const std::string& word : ArgumentsFor(EditorDefaults(), false))
        editors += ' ' + QString::fromStdString(word);
    return QStringLiteral(
               "Turns pictures into NFO text art: one code-page-437 shade character\n"
               "(full block, dark, medium, light shade or space) for every 2 x 3 pixels,\n"
               "or as many as --columns and --rows ask for. Each PICTURE.bmp (or any other\n"
               "picture Qt reads) gives PICTURE.nfo beside it; '-' reads a picture from\n"
               "standard input and writes the art to standard output. ezedudu-studio and\n"
               "the web page start with%1.\n"
               "\n"
               "--compose TEMPLATE makes a whole NFO file instead: a text file that looks like\n"
               "the NFO, with {{art PICTURE}}, {{logo TEXT}}, {{box}}, {{facts}}, {{title}} and the\n"
               "other directives of the README's \"Making a whole NFO\" in it.\n"
               "\n"
               "Exit status: 0 when every picture converted, 1 when any failed\n"
               "(the others still convert), 2 for a usage error.")
        .arg(editors);
}

// Why the pictures and outputs given cannot go together; empty when they can.
std::string CheckOutputs(const CliOptions& options)
{
    if (options.compose) {
        if (!options.pictures.empty())
            return "--compose makes its file from the template; give no pictures with it";
        if (options.output == StandardStream && options.preview == StandardStream)
            return "the NFO text and the preview cannot both go to standard output; name a file for one of them";
        return {};
    }
    if (!options.fieldValues.empty() || options.fieldsFile)
        return "--set and --fields give values to a template's fields; use them with --compose";
    const auto single = [](const char* what) {
        return std::string(what) + " names the output of a single picture, but several were given";
    };
    const bool fromInput = std::count(options.pictures.begin(), options.pictures.end(), StandardStream) > 0;
    if (options.pictures.empty())
        return "no picture given";
    if (options.pictures.size() > 1 && options.output)
        return single("-o");
    if (options.pictures.size() > 1 && options.preview)
        return single("--preview");
    if (options.pictures.size() > 1 && fromInput)
        return "'-' (standard input) must be the only picture";
    if (options.output && options.output->empty())
        return "-o needs a file name, or '-' for standard output";
    if (options.preview && options.preview->empty())
        return "--preview needs a file name, or '-' for standard output";
    const bool textToOutput = options.output ? *options.output == StandardStream : fromInput;
    if (textToOutput && options.preview == StandardStream)
        return "the NFO text and the preview cannot both go to standard output; name a file for one of them";
    if (options.preview && *options.preview != StandardStream && !textToOutput &&
        IsSameFile(options.output.value_or(NfoPathFor(options.pictures[0])), *options.preview))
        return "the NFO text and the preview would both go to " + DisplayPath(*options.preview) +
               "; name a file for each";
    return {};
}

} // namespace

std::string ParseArguments(ProgramArguments& arguments, const QStringList& words, CliOptions& options)
{
    QCommandLineParser& parser = arguments.Parser();
    parser.setApplicationDescription(Description());
    parser.addPositionalArgument("PICTURE", "The pictures to convert; '-' is standard input.", "PICTURE...");
    const QCommandLineOption output({"o", "output"},
                                    "Write the NFO text to FILE instead of beside the picture; '-' writes it to "
                                    "standard output. Only with a single picture.",
                                    "FILE");
    const QCommandLineOption preview("preview",
                                     "Also draw the art as an NFO viewer shows it into FILE.png; '-' writes the PNG "
                                     "to standard output. Only with a single picture.",
                                     "FILE.png");
    const QCommandLineOption utf8("utf8",
                                  "Write UTF-8 text (U+2588, U+2593, U+2592, U+2591) instead of code-page-437 bytes, "
                                  "for terminals and editors without code page 437.");
    const QCommandLineOption quiet({"q", "quiet"}, "Show no progress or hints, even on a terminal.");
    const QCommandLineOption compose("compose",
                                     "Make a whole NFO file from TEMPLATE (art, logo, text, boxes), written beside it "
                                     "as TEMPLATE.nfo or to -o; the pictures and fonts it names are found beside it.",
                                     "TEMPLATE");
    const QCommandLineOption set("set", "Give the template's field {{NAME}} this value; wins over --fields. "
                                        "Repeatable.",
                                 "NAME=VALUE");
    const QCommandLineOption fields("fields", "Read the template's field values from FILE: NAME=VALUE lines in UTF-8.",
                                    "FILE");
    const QCommandLineOption check("check",
                                   "Convert nothing: check each argument, an NFO or DIZ file, for what an NFO viewer "
                                   "would not show right (against --width or --layout) and print FILE:LINE:COLUMN: "
                                   "problem lines; exit status 1 when any file has a problem.");
    parser.addOptions({output, preview, utf8, quiet, check, compose, set, fields});

    if (std::string error = arguments.Parse(words, options.art); !error.empty())
        return error;
    for (const QString& picture : parser.positionalArguments())
        options.pictures.push_back(ToPath(picture));
    if (parser.isSet(output))
        options.output = ToPath(parser.value(output));
    if (parser.isSet(preview))
        options.preview = ToPath(parser.value(preview));
    options.utf8 = parser.isSet(utf8);
    options.quiet = parser.isSet(quiet);
    if (parser.isSet(compose))
        options.compose = ToPath(parser.value(compose));
    if (parser.isSet(fields))
        options.fieldsFile = ToPath(parser.value(fields));
    for (const QString& value : parser.values(set)) {
        const qsizetype equals = value.indexOf('=');
        if (equals <= 0)
            return "--set takes NAME=VALUE, not '" + value.toStdString() + "'";
        options.fieldValues.emplace_back(value.left(equals).toStdString(), value.mid(equals + 1).toStdString());
    }
    options.check = parser.isSet(check);
    return options.check ? CheckArgumentsOfCheck(options) : CheckOutputs(options);
}

} // namespace ezedudu
