#include "frmMain.h"
#include "qt_platform_services.h"

#include "ezedudu/command_line.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    // Help and the version need no display.
    const std::unique_ptr<QCoreApplication> app = ezedudu::AsksForHelpOrVersion(argc, argv)
                                                      ? std::make_unique<QCoreApplication>(argc, argv)
                                                      : std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavix's ZOR Ezedudu"));
    QApplication::setApplicationVersion(QStringLiteral(EZEDUDU_VERSION_TEXT));

    ezedudu::ProgramArguments arguments("ezedudu", ezedudu::ArtOptionSet::Conversion);
    ezedudu::StartupRequest request;
    if (const std::string error = ezedudu::ParseStartupArguments(arguments, QCoreApplication::arguments(), request);
        !error.empty())
        return arguments.UsageError(error);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ezedudu/ezedudu.png")));

    // The whole run happens inside the window's load; it needs no event loop
    // of its own beyond the dialogs' and the conversion's.
    ezedudu::QtPlatformServices platform;
    ezedudu::frmMain window(platform, std::move(request));
    return window.Load() ? 0 : 1;
}
