#pragma once

#include "ezedudu/conversion_options.h"

#include <QCommandLineParser>
#include <QString>

#include <string>

namespace ezedudu {

// Every program exits with this status after a usage error.
inline constexpr int ExitUsage = 2;

// Which of the options a program takes.
enum class ArtOptionSet {
    Conversion,               // what shapes the NFO text
    ConversionAndPreview,     // and how its preview is drawn
    ConversionPreviewAndPage, // and the page whole files are checked against
};

// The command line every program shares: --help, --version and the art
// options of the option table, to which a program adds its own options and
// its description through Parser(). A usage
// error reads the same in each: "PROGRAM: reason", then "Try 'PROGRAM
// --help' for more information.", and exit status 2.
class ProgramArguments {
public:
    ProgramArguments(QString program, ArtOptionSet artOptions);

    QCommandLineParser& Parser() { return parser; }

    // Parses the arguments (the first is the program itself) and lays the
    // art options given over settings. Answers --help and --version and
    // exits. Returns an empty text, or the usage error.
    std::string Parse(const QStringList& arguments, ArtSettings& settings);

    // Tells a usage error on stderr; returns ExitUsage.
    int UsageError(const std::string& reason) const;

private:
    [[noreturn]] void ShowHelp() const;

    QString name;
    ArtOptionSet set;
    QCommandLineParser parser;
};

// Whether the raw command line asks only for help or the version, which a
// desktop program can answer without a display (no QGuiApplication).
bool AsksForHelpOrVersion(int argc, char* argv[]);

} // namespace ezedudu
