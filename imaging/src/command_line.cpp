#include "ezedudu/command_line.h"

#include "ezedudu/option_table.h"
#include "ezedudu/qt_text.h"

#include <QCoreApplication>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

namespace ezedudu {
namespace {

QCommandLineOption OptionFor(const OptionEntry& option)
{
    QString help = QtText(option.help);
    if (const std::string values = DescribeValues(option); !values.empty())
        help += " (" + QtText(values) + ")";
    if (option.type == OptionType::Switch)
        return QCommandLineOption(QtText(option.flag), help);
    return QCommandLineOption(QtText(option.flag), help, QtText(option.valueName));
}

bool Takes(ArtOptionSet set, const OptionEntry& option)
{
    return !option.previewOnly || set != ArtOptionSet::Conversion;
}

// The options of the table that the program takes, then the page's.
std::vector<const OptionEntry*> OptionsOf(ArtOptionSet set)
{
    std::vector<const OptionEntry*> options;
    for (const OptionEntry& option : OptionTable())
        if (Takes(set, option))
            options.push_back(&option);
    if (set == ArtOptionSet::ConversionPreviewAndPage)
        for (const OptionEntry& option : PageOptionTable())
            options.push_back(&option);
    return options;
}

} // namespace

ProgramArguments::ProgramArguments(QString program, ArtOptionSet artOptions) : name(std::move(program)), set(artOptions)
{
    parser.addHelpOption();
    parser.addVersionOption();
    for (const OptionEntry* option : OptionsOf(set))
        parser.addOption(OptionFor(*option));
}

std::string ProgramArguments::Parse(const QStringList& arguments, ArtSettings& settings)
{
    if (!parser.parse(arguments))
        return parser.errorText().toStdString();
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        ShowHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    for (const OptionEntry* option : OptionsOf(set)) {
        const QString flag = QtText(option->flag);
        if (!parser.isSet(flag))
            continue;
        OptionValue value;
        if (std::string error = ParseOptionValue(*option, parser.value(flag).toStdString(), value); !error.empty())
            return error;
        option->set(settings, value);
    }
    return {};
}

int ProgramArguments::UsageError(const std::string& reason) const
{
    std::cerr << qPrintable(name) << ": " << reason << "\nTry '" << qPrintable(name)
              << " --help' for more information.\n";
    return ExitUsage;
}

// Qt's help names the program by the path it was started with; the usage
// line reads better with its plain name.
void ProgramArguments::ShowHelp() const
{
    QString help = parser.helpText();
    const QString started = QCoreApplication::arguments().value(0);
    if (!started.isEmpty() && help.contains(started))
        help.replace(help.indexOf(started), started.size(), name);
    std::cout << qPrintable(help);
    std::exit(0);
}

bool AsksForHelpOrVersion(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char* asking : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], asking) == 0)
                return true;
    return false;
}

} // namespace ezedudu
