#include "batch.h"
#include "cli_options.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("ezedudu-cli");
    QCoreApplication::setApplicationVersion(EZEDUDU_VERSION_TEXT);

    const ezedudu::ParsedArguments parsed = ezedudu::ParseArguments(QCoreApplication::arguments());
    if (!parsed.options) {
        std::cerr << "ezedudu-cli: " << parsed.usageError << "\nTry 'ezedudu-cli --help' for more information.\n";
        return ezedudu::ExitUsage;
    }
    return ezedudu::ConvertAll(*parsed.options);
}
