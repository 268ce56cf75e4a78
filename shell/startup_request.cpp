#include "startup_request.h"

#include <QFileInfo>

namespace ezedudu {

std::string ParseStartupArguments(ProgramArguments& arguments, const QStringList& words, StartupRequest& request)
{
    QCommandLineParser& parser = arguments.Parser();
    parser.setApplicationDescription(QStringLiteral(
        "Turns a picture into NFO text art beside it. Without PICTURE it asks for one in a file dialog; then a small\n"
        "window shows the progress and a box says \"Finished\". The options shape the art as in ezedudu-cli.\n"
        "\n"
        "Exit status: 0 when an NFO file was written, 1 otherwise, 2 for a usage error."));
    parser.addPositionalArgument("PICTURE", "The picture to convert, instead of choosing one in the dialog.",
                                 "[PICTURE]");
    ArtSettings settings{request.options};
    if (std::string error = arguments.Parse(words, settings); !error.empty())
        return error;
    const QStringList pictures = parser.positionalArguments();
    if (pictures.size() > 1)
        return "one picture at most";
    request.options = settings.conversion;
    // A name that does not exist stays as given, for the existence test to answer.
    if (!pictures.isEmpty())
        request.picture = pictures[0].isEmpty() ? QString() : QFileInfo(pictures[0]).absoluteFilePath();
    return {};
}

} // namespace ezedudu
