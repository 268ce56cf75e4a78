#include "cli_options.h"

#include "check_files.h"

#include "ezedudu/editor_defaults.h"
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
               "Exit status: 0 when every picture converted, 1 when any failed\n"
               "(the others still convert), 2 for a usage error.")
        .arg(editors);
}

// Why the pictures and outputs given cannot go together; empty when they can.
std::string CheckOutputs(const CliOptions& options)
{
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
    const bool textToOutput = options.output ? *options.output == StandardStream : fromInput;
    if (textToOutput && options.preview == StandardStream)
        return "the NFO text and the preview cannot both go to standard output; name a file for one of them";
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
    const QCommandLineOption check("check",
                                   "Convert nothing: check each argument, an NFO or DIZ file, for what an NFO viewer "
                                   "would not show right (against --width or --layout) and print FILE:LINE:COLUMN: "
                                   "problem lines; exit status 1 when any file has a problem.");
    parser.addOptions({output, preview, utf8, quiet, check});

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
    options.check = parser.isSet(check);
    return options.check ? CheckArgumentsOfCheck(options) : CheckOutputs(options);
}

} // namespace ezedudu
