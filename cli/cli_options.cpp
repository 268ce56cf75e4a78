#include "cli_options.h"

#include "ezedudu/picture_loader.h"
#include "ezedudu/qt_path.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace ezedudu {
namespace {

constexpr std::int64_t PixelsPerMegapixel = 1'000'000;

QString Description()
{
    return QStringLiteral(
        "Turns pictures into NFO text art: one code-page-437 shade character\n"
        "(full block, dark, medium, light shade or space) for every 2 x 3 pixels.\n"
        "Each PICTURE.bmp (or any other picture Qt reads) gives PICTURE.nfo beside it.\n"
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
    parser.addPositionalArgument("PICTURE", "The pictures to convert.", "PICTURE...");
    const QCommandLineOption output({"o", "output"},
                                    "Write the NFO text to FILE instead of beside the picture; '-' writes it to "
                                    "standard output. Only with a single picture.",
                                    "FILE");
    const QCommandLineOption utf8("utf8",
                                  "Write UTF-8 text (U+2588, U+2593, U+2592, U+2591) instead of code-page-437 bytes, "
                                  "for terminals and editors without code page 437.");
    const QCommandLineOption quiet({"q", "quiet"}, "Show no progress, even on a terminal.");
    const QCommandLineOption maxMegapixels(
        "max-megapixels",
        QStringLiteral("Refuse pictures with more than N million pixels (default %1).")
            .arg(DefaultMaxPixels / PixelsPerMegapixel),
        "N");
    parser.addOptions({output, utf8, quiet, maxMegapixels});

    ParsedArguments parsed;
    if (!parser.parse(arguments)) {
        parsed.usageError = parser.errorText().toStdString();
        return parsed;
    }
    if (parser.isSet("help"))
        parser.showHelp(0);
    if (parser.isSet("version"))
        parser.showVersion();

    CliOptions options;
    for (const QString& picture : parser.positionalArguments())
        options.pictures.push_back(ToPath(picture));
    if (options.pictures.empty()) {
        parsed.usageError = "no picture given";
        return parsed;
    }
    if (parser.isSet(output)) {
        if (options.pictures.size() > 1) {
            parsed.usageError = "-o names the output of a single picture, but several were given";
            return parsed;
        }
        options.output = ToPath(parser.value(output));
    }
    options.conversion.utf8 = parser.isSet(utf8);
    options.quiet = parser.isSet(quiet);
    if (parser.isSet(maxMegapixels)) {
        bool isNumber = false;
        const qlonglong megapixels = parser.value(maxMegapixels).toLongLong(&isNumber);
        if (!isNumber || megapixels <= 0 || megapixels > 1'000'000) {
            parsed.usageError = "--max-megapixels takes a whole number from 1 to 1000000";
            return parsed;
        }
        options.conversion.maxPixels = megapixels * PixelsPerMegapixel;
    }
    parsed.options = std::move(options);
    return parsed;
}

} // namespace ezedudu
