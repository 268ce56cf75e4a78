#include "startup_request.h"

#include "ezedudu/conversion_arguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace ezedudu {

ParsedStartup ParseStartupArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Turns a picture into NFO text art beside it. Without PICTURE it asks for one in a file dialog; then a small\n"
        "window shows the progress and a box says \"Finished\". The options shape the art as in ezedudu-cli.\n"
        "\n"
        "Exit status: 0 when an NFO file was written, 1 otherwise, 2 for a usage error."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("PICTURE", "The picture to convert, instead of choosing one in the dialog.",
                                 "[PICTURE]");
    const ConversionArguments conversion;
    conversion.AddTo(parser);

    ParsedStartup parsed;
    parsed.usageError = ParseCommandLine(parser, arguments);
    if (!parsed.usageError.empty())
        return parsed;

    StartupRequest request;
    const QStringList pictures = parser.positionalArguments();
    if (pictures.size() > 1) {
        parsed.usageError = "one picture at most";
        return parsed;
    }
    parsed.usageError = conversion.Read(parser, request.options);
    if (!parsed.usageError.empty())
        return parsed;
    // A name that does not exist stays as given, for the existence test to answer.
    if (!pictures.isEmpty())
        request.picture = pictures[0].isEmpty() ? QString() : QFileInfo(pictures[0]).absoluteFilePath();
    parsed.request = std::move(request);
    return parsed;
}

} // namespace ezedudu
