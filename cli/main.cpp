#include "batch.h"
#include "check_files.h"
#include "cli_options.h"

#include <QCoreApplication>

#include <iostream>

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
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("ezedudu-cli");
    QCoreApplication::setApplicationVersion(EZEDUDU_VERSION_TEXT);

    ezedudu::ProgramArguments arguments("ezedudu-cli", ezedudu::ArtOptionSet::ConversionPreviewAndPage);
    ezedudu::CliOptions options;
    if (const std::string error = ezedudu::ParseArguments(arguments, QCoreApplication::arguments(), options);
        !error.empty())
        return arguments.UsageError(error);
    if (options.check)
        return ezedudu::CheckFiles(options, std::cin, std::cout, std::cerr);
    return ezedudu::ConvertAll(options);
}
