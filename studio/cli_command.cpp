#include "cli_command.h"

#include "ezedudu/option_table.h"
#include "ezedudu/shell_words.h"

namespace ezedudu {

QString CliCommandFor(const ConversionOptions& options, const QString& picture)
{
    std::vector<std::string> words{"ezedudu-cli"};
    for (std::string& word : ArgumentsFor(ArtSettings{options}, false))
        words.push_back(std::move(word));
    if (picture.isEmpty())
        return QString::fromStdString(ShellCommand(words) + " PICTURE");
    words.push_back(picture.toStdString());
    return QString::fromStdString(ShellCommand(words));
}

} // namespace ezedudu
