#include "frmMain.h"
#include "qt_platform_services.h"

#include <QApplication>

#include <iostream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavix's ZOR Ezedudu"));
    QApplication::setApplicationVersion(QStringLiteral(EZEDUDU_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ezedudu/ezedudu.png")));

    ezedudu::ParsedStartup parsed = ezedudu::ParseStartupArguments(QApplication::arguments());
    if (!parsed.request) {
        std::cerr << "ezedudu: " << parsed.usageError << "\nTry 'ezedudu --help' for more information.\n";
        return 2;
    }

    // The whole run happens inside the window's load; it needs no event loop
    // of its own beyond the dialogs' and the conversion's.
    ezedudu::QtPlatformServices platform;
    ezedudu::frmMain window(platform, std::move(*parsed.request));
    return window.Load() ? 0 : 1;
}
