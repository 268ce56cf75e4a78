#include "cli_options.h"

#include "ezedudu/conversion_arguments.h"
#include "ezedudu/qt_path.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cstring>

namespace ezedudu {
namespace {

QString Description()
{
    return QStringLiteral(
        "Turns pictures into NFO text art: one code-page-437 shade character\n"
        "(full block, dark, medium, light shade or space) for every 2 x 3 pixels,\n"
        "or as many as --columns and --rows ask for. Each PICTURE.bmp (or any other\n"
        "picture Qt reads) gives PICTURE.nfo beside it; '-' reads a picture from\n"
        "standard input and writes the art to standard output.\n"
        "\n"
        "Exit status: 0 when every picture converted, 1 when any failed\n"
        "(the others still convert), 2 for a usage error.");
}

} // namespace

ParsedArguments ParseArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Description());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("PICTURE", "The pictures to convert; '-' is standard input.", "PICTURE...");
    const QCommandLineOption output({"o", "output"},
                                    "Write the NFO text to FILE instead of beside the picture; '-' writes it to "
                                    "standard output. Only with a single picture.",
                                    "FILE");
    const QCommandLineOption preview("preview",
                                     "Also draw the art as an NFO viewer shows it into FILE.png. Only with a single "
                                     "picture.",
                                     "FILE.png");
    const QCommandLineOption previewTheme("preview-theme", "The preview's colours: light (dark on white, default) "
                                                           "or dark (light grey on black).",
                                          "THEME");
    const QCommandLineOption utf8("utf8",
                                  "Write UTF-8 text (U+2588, U+2593, U+2592, U+2591) instead of code-page-437 bytes, "
                                  "for terminals and editors without code page 437.");
    const QCommandLineOption quiet({"q", "quiet"}, "Show no progress or hints, even on a terminal.");
    parser.addOptions({output, preview, previewTheme, utf8, quiet});
    const ConversionArguments conversion;
    conversion.AddTo(parser);

    ParsedArguments parsed;
    parsed.usageError = ParseCommandLine(parser, arguments);
    if (!parsed.usageError.empty())
        return parsed;

    CliOptions options;
    for (const QString& picture : parser.positionalArguments())
        options.pictures.push_back(ToPath(picture));
    const auto single = [&](const char* what) {
        parsed.usageError = std::string(what) + " names the output of a single picture, but several were given";
    };
    if (options.pictures.empty())
        parsed.usageError = "no picture given";
    else if (options.pictures.size() > 1 && parser.isSet(output))
        single("-o");
    else if (options.pictures.size() > 1 && parser.isSet(preview))
        single("--preview");
    else if (options.pictures.size() > 1 &&
             std::count(options.pictures.begin(), options.pictures.end(), StandardStream) > 0)
        parsed.usageError = "'-' (standard input) must be the only picture";
    else if (parser.isSet(previewTheme) && parser.value(previewTheme) != "light" &&
             parser.value(previewTheme) != "dark")
        parsed.usageError = "--preview-theme takes light or dark";
    else
        parsed.usageError = conversion.Read(parser, options.conversion);
    if (!parsed.usageError.empty())
        return parsed;

    if (parser.isSet(output))
        options.output = ToPath(parser.value(output));
    if (parser.isSet(preview))
        options.preview = ToPath(parser.value(preview));
    options.previewTheme = parser.value(previewTheme) == "dark" ? PreviewTheme::Dark : PreviewTheme::Light;
    options.utf8 = parser.isSet(utf8);
    options.quiet = parser.isSet(quiet);
    parsed.options = std::move(options);
    return parsed;
}

bool AsksForPreview(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--preview") == 0 || std::strncmp(argv[i], "--preview=", 10) == 0)
            return true;
    return false;
}

} // namespace ezedudu
