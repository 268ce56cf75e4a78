#pragma once

#include "ezedudu/conversion_job.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <string>

namespace ezedudu {

// The command-line options that shape the art, the same in every program:
// --columns, --rows, --cell-aspect, --levels, --contrast, --brightness,
// --gamma, --invert, --dither and --max-megapixels.
class ConversionArguments {
public:
    ConversionArguments();

    void AddTo(QCommandLineParser& parser) const;

    // Reads the options the parser found into options. Returns an empty text,
    // or one line saying which option had a bad value and what it takes.
    std::string Read(const QCommandLineParser& parser, ConversionOptions& options) const;

private:
    QCommandLineOption columns, rows, cellAspect, levels, contrast, brightness, gamma, invert, dither, maxMegapixels;
};

// Parses the arguments; prints --help or --version and exits by itself.
// Returns the parser's error text, empty when the arguments parse.
std::string ParseCommandLine(QCommandLineParser& parser, const QStringList& arguments);

// Whether the raw command line asks only for help or the version, which a
// desktop program can answer without a display (no QGuiApplication).
bool AsksForHelpOrVersion(int argc, char* argv[]);

// The --dither names: none, floyd-steinberg, ordered.
QStringList DitherNames();

} // namespace ezedudu
