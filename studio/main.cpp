#include "remembered_options.h"
#include "studio_window.h"

#include "ezedudu/conversion_arguments.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include <iostream>
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

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Ezedudu Studio: makes NFO text art from a picture and shows it live, as an NFO viewer does, while\n"
        "you tune its size, tones and dithering. It saves what ezedudu-cli writes with the same options.\n"
        "The options below start it with those settings; otherwise it starts with the settings it was left with."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("PICTURE", "The picture to open.", "[PICTURE]");
    const ezedudu::ConversionArguments arguments;
    arguments.AddTo(parser);
    parser.process(*app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ezedudu/ezedudu.png")));

    QSettings settings;
    ezedudu::ConversionOptions options;
    ezedudu::PreviewTheme theme = ezedudu::PreviewTheme::Light;
    ezedudu::RecallOptions(settings, options, theme);
    // Options on the command line win over the remembered ones.
    if (const std::string error = arguments.Read(parser, options); !error.empty()) {
        std::cerr << "ezedudu-studio: " << error << "\nTry 'ezedudu-studio --help' for more information.\n";
        return 2;
    }
    if (parser.positionalArguments().size() > 1) {
        std::cerr << "ezedudu-studio: one picture at most\nTry 'ezedudu-studio --help' for more information.\n";
        return 2;
    }

    ezedudu::StudioWindow window(settings, options, theme);
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.OpenFile(parser.positionalArguments().constFirst());
    return QApplication::exec();
}
