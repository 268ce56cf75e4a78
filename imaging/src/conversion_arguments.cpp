#include "ezedudu/conversion_arguments.h"

#include <cstring>
#include <optional>

namespace ezedudu {
namespace {

constexpr std::int64_t PixelsPerMegapixel = 1'000'000;
constexpr std::int64_t MaxArtSide = 100'000;

struct DitherName {
    const char* name;
    Dither dither;
};
constexpr DitherName Dithers[] = {
    {"none", Dither::None}, {"floyd-steinberg", Dither::FloydSteinberg}, {"ordered", Dither::Ordered}};

// Reads a whole number from min to max; the option is left alone when unset.
std::string ReadWhole(const QCommandLineParser& parser, const QCommandLineOption& option, std::int64_t min,
                      std::int64_t max, std::optional<std::int64_t>& value)
{
    if (!parser.isSet(option))
        return {};
    bool isNumber = false;
    const qlonglong number = parser.value(option).toLongLong(&isNumber);
    if (!isNumber || number < min || number > max)
        return "--" + option.names().constFirst().toStdString() + " takes a whole number from " +
               std::to_string(min) + " to " + std::to_string(max);
    value = number;
    return {};
}

// Reads a number above 0.
std::string ReadPositive(const QCommandLineParser& parser, const QCommandLineOption& option, double& value)
{
    if (!parser.isSet(option))
        return {};
    bool isNumber = false;
    const double number = parser.value(option).toDouble(&isNumber);
    if (!isNumber || !(number > 0) || number > 1e6)
        return "--" + option.names().constFirst().toStdString() + " takes a number above 0";
    value = number;
    return {};
}

std::string ReadDither(const QCommandLineParser& parser, const QCommandLineOption& option, std::optional<Dither>& value)
{
    if (!parser.isSet(option))
        return {};
    const QString name = parser.value(option);
    for (const DitherName& known : Dithers)
        if (name == QLatin1String(known.name)) {
            value = known.dither;
            return {};
        }
    QStringList names = DitherNames();
    const QString last = names.takeLast();
    return "--dither takes " + names.join(", ").toStdString() + " or " + last.toStdString();
}

} // namespace

ConversionArguments::ConversionArguments()
    : columns("columns", "Make the art N characters wide (NFO viewers show 80: 79 fits them).", "N"),
      rows("rows", "Make the art M lines high; with --columns, the largest art that fits both.", "M"),
      cellAspect("cell-aspect",
                 "The viewer's character height over width, so that the art keeps the picture's proportions: "
                 "2.0 for 8 x 16 VGA cells (default), 1.5 for the plain 2 x 3 grid.",
                 "A"),
      levels("levels", "'auto' stretches the picture's 1st to 99th percentile of brightness onto the full range.",
             "auto"),
      contrast("contrast", "Contrast from -100 to 100 (default 0).", "C"),
      brightness("brightness", "Brightness from -255 to 255 (default 0).", "B"),
      gamma("gamma", "Gamma above 0 (default 1); above 1 lightens the middle tones.", "G"),
      invert("invert", "Invert the tones, for viewers showing light text on dark."),
      dither("dither", "Dithering: none (default), floyd-steinberg or ordered; keeps the mean brightness of areas.",
             "MODE"),
      maxMegapixels("max-megapixels",
                    QStringLiteral("Refuse pictures with more than N million pixels (default %1).")
                        .arg(DefaultMaxPixels / PixelsPerMegapixel),
                    "N")
{
}

void ConversionArguments::AddTo(QCommandLineParser& parser) const
{
    parser.addOptions({columns, rows, cellAspect, levels, contrast, brightness, gamma, invert, dither, maxMegapixels});
}

std::string ConversionArguments::Read(const QCommandLineParser& parser, ConversionOptions& options) const
{
    std::optional<std::int64_t> contrastValue, brightnessValue, megapixels;
    std::optional<Dither> ditherValue;
    const std::string errors[] = {
        ReadWhole(parser, columns, 1, MaxArtSide, options.columns),
        ReadWhole(parser, rows, 1, MaxArtSide, options.rows),
        ReadPositive(parser, cellAspect, options.cellAspect),
        parser.isSet(levels) && parser.value(levels) != "auto" ? "--levels takes auto" : "",
        ReadWhole(parser, contrast, -100, 100, contrastValue),
        ReadWhole(parser, brightness, -255, 255, brightnessValue),
        ReadPositive(parser, gamma, options.art.tone.gamma),
        ReadDither(parser, dither, ditherValue),
        ReadWhole(parser, maxMegapixels, 1, 1'000'000, megapixels),
    };
    for (const std::string& error : errors)
        if (!error.empty())
            return error;

    ToneOptions& tone = options.art.tone;
    tone.levelsAuto = tone.levelsAuto || parser.isSet(levels);
    tone.contrast = int(contrastValue.value_or(tone.contrast));
    tone.brightness = int(brightnessValue.value_or(tone.brightness));
    tone.invert = tone.invert || parser.isSet(invert);
    options.art.dither = ditherValue.value_or(options.art.dither);
    if (megapixels)
        options.maxPixels = *megapixels * PixelsPerMegapixel;
    return {};
}

std::string ParseCommandLine(QCommandLineParser& parser, const QStringList& arguments)
{
    if (!parser.parse(arguments))
        return parser.errorText().toStdString();
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    return {};
}

bool AsksForHelpOrVersion(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char* asking : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], asking) == 0)
                return true;
    return false;
}

QStringList DitherNames()
{
    QStringList names;
    for (const DitherName& d : Dithers)
        names << QString::fromLatin1(d.name);
    return names;
}

} // namespace ezedudu
