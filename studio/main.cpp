#include "cli_command.h"
#include "remembered_options.h"
#include "studio_window.h"

#include "ezedudu/command_line.h"
#include "ezedudu/editor_defaults.h"

#include <QApplication>
#include <QSettings>

#include <memory>

int main(int argc, char* argv[])
{
    // Help and the version need no display.
    const std::unique_ptr<QCoreApplication> app = ezedudu::AsksForHelpOrVersion(argc, argv)
                                                      ? std::make_unique<QCoreApplication>(argc, argv)
                                                      : std::make_unique<QApplication>(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ezedudu"));
    QApplication::setApplicationName(QStringLiteral("ezedudu-studio"));
    QApplication::setApplicationVersion(QStringLiteral(EZEDUDU_VERSION_TEXT));

    ezedudu::ProgramArguments arguments("ezedudu-studio", ezedudu::ArtOptionSet::ConversionAndPreview);
    QCommandLineParser& parser = arguments.Parser();
    parser.setApplicationDescription(
        QStringLiteral(
            "Ezedudu Studio: makes NFO text art from a picture and shows it live, as an NFO viewer does, while\n"
            "you tune its size, tones and dithering. It saves what ezedudu-cli writes with the same options.\n"
            "The options below start it with those settings; otherwise it starts with the settings it was left\n"
            "with. The first time, and after Edit > Reset to Defaults, it makes the art of\n"
            "%1.")
            .arg(ezedudu::CliCommandFor(ezedudu::EditorDefaults().conversion, {})));
    parser.addPositionalArgument("PICTURE", "The picture to open.", "[PICTURE]");

    QSettings settings;
    ezedudu::ArtSettings art;
    ezedudu::RecallOptions(settings, art.conversion, art.theme);
    // Options on the command line win over the remembered ones.
    if (const std::string error = arguments.Parse(QCoreApplication::arguments(), art); !error.empty())
        return arguments.UsageError(error);
    if (parser.positionalArguments().size() > 1)
        return arguments.UsageError("one picture at most");
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ezedudu/ezedudu.png")));

    ezedudu::StudioWindow window(settings, art.conversion, art.theme);
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.OpenFile(parser.positionalArguments().constFirst());
    return QApplication::exec();
}
