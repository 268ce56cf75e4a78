#include "frmMain.h"
#include "qt_platform_services.h"

#include "ezedudu/conversion_arguments.h"

#include <QApplication>

#include <iostream>
#include <memory>

int main(int argc, char* argv[])
{
    // Help and the version need no display.
    const std::unique_ptr<QCoreApplication> app = ezedudu::AsksForHelpOrVersion(argc, argv)
                                                      ? std::make_unique<QCoreApplication>(argc, argv)
                                                      : std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavix's ZOR Ezedudu"));
    QApplication::setApplicationVersion(QStringLiteral(EZEDUDU_VERSION_TEXT));

    ezedudu::ParsedStartup parsed = ezedudu::ParseStartupArguments(QCoreApplication::arguments());
    if (!parsed.request) {
        std::cerr << "ezedudu: " << parsed.usageError << "\nTry 'ezedudu --help' for more information.\n";
        return 2;
    }
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ezedudu/ezedudu.png")));

    // The whole run happens inside the window's load; it needs no event loop
    // of its own beyond the dialogs' and the conversion's.
    ezedudu::QtPlatformServices platform;
    ezedudu::frmMain window(platform, std::move(*parsed.request));
    return window.Load() ? 0 : 1;
}
