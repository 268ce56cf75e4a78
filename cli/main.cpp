#include "batch.h"
#include "cli_options.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <iostream>
#include <memory>

namespace {

// Every failure is reported in the CLI's own words; Qt's debug notes and
// warnings (a missing XDG_RUNTIME_DIR, a decoder's complaint) are noise here.
void KeepOnlyCriticalMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << '\n';
}

} // namespace

int main(int argc, char* argv[])
{
    qInstallMessageHandler(KeepOnlyCriticalMessages);
    // A preview is drawn with fonts, which take a QGuiApplication; its
    // offscreen platform needs no display. Plain conversions start faster
    // without one.
    std::unique_ptr<QCoreApplication> app;
    if (ezedudu::AsksForPreview(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName("ezedudu-cli");
    QCoreApplication::setApplicationVersion(EZEDUDU_VERSION_TEXT);

    ezedudu::ProgramArguments arguments("ezedudu-cli", ezedudu::ArtOptionSet::ConversionAndPreview);
    ezedudu::CliOptions options;
    if (const std::string error = ezedudu::ParseArguments(arguments, QCoreApplication::arguments(), options);
        !error.empty())
        return arguments.UsageError(error);
    return ezedudu::ConvertAll(options);
}
