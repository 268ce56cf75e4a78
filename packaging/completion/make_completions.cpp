// Writes the bash and zsh completions of the programs from their own --help
// and the option table, when the programs are built: every option --help
// shows is completed, and an option's values come from the table (a
// choice's names, the word that leaves it unset, a preset cell shape).
// A program's own options, outside the table, complete file names: of the
// kind the value names, "FILE.png", or any.
//
// Usage: make_completions FOLDER PROGRAM=HELP-FILE...
// writes FOLDER/ezedudu.bash and FOLDER/_ezedudu.

#include "ezedudu/option_table.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ezedudu::OptionEntry;
using ezedudu::OptionTable;

// Every format the programs read, bitmaps by their own reader.
constexpr const char* PictureExtensions = "bmp|dib|png|jpg|jpeg|gif|tif|tiff|webp|pbm|pgm|ppm|pnm|xbm|xpm";

// What an option's value completes to.
struct ValueCompletion {
    std::vector<std::string> words; // offered words; none for free text or numbers
    bool files = false;
    std::string extension; // of the files, when only one kind fits
};

struct ProgramOption {
    std::string shortName; // "o" for -o, or empty
    std::string name;      // "output" for --output
    std::string valueName; // "FILE", or empty for a switch
    std::string summary;   // the help's first clause
    ValueCompletion value;
};

struct Program {
    std::string name;
    std::vector<ProgramOption> options;
    bool manyPictures = false; // PICTURE... rather than [PICTURE]
};

const OptionEntry* TableEntry(const std::string& name)
{
    for (const OptionEntry& option : OptionTable())
        if (option.flag == name)
            return &option;
    return nullptr;
}

ValueCompletion CompletionOf(const ProgramOption& option)
{
    ValueCompletion value;
    if (option.valueName.empty())
        return value;
    const OptionEntry* entry = TableEntry(option.name);
    if (!entry) {
        value.files = true;
        if (const std::size_t dot = option.valueName.rfind('.'); dot != std::string::npos)
            value.extension = option.valueName.substr(dot + 1);
        return value;
    }
    for (const ezedudu::OptionChoice& choice : entry->choices)
        value.words.emplace_back(choice.name);
    for (const ezedudu::OptionPreset& preset : entry->presets) {
        char text[32];
        std::snprintf(text, sizeof text, "%.*f", entry->decimals, preset.value);
        value.words.emplace_back(text);
    }
    if (!entry->unsetName.empty())
        value.words.emplace_back(entry->unsetName);
    return value;
}

// The help's first clause: "Make the art N characters wide".
std::string Summary(std::string help)
{
    static const std::regex End(R"((\. |\.$|; | \(|: ))");
    std::smatch found;
    if (std::regex_search(help, found, End))
        help.resize(std::size_t(found.position(0)));
    return help;
}

// Reads the options from QCommandLineParser's help: an option's line starts
// "  -o, --output <FILE>  Text", its text going on in indented lines.
Program ReadHelp(const std::string& name, std::istream& help)
{
    static const std::regex OptionLine(R"(^  (?:-([A-Za-z0-9]), )?--([a-z0-9-]+)(?: <([^>]+)>)?(?:\s+(.*))?$)");
    static const std::regex MorePictures(R"(^Usage: \S+ .*\.\.\.)");
    Program program;
    program.name = name;
    std::string line;
    bool inOptions = false;
    while (std::getline(help, line)) {
        std::smatch parts;
        if (std::regex_search(line, MorePictures))
            program.manyPictures = true;
        if (line == "Options:" || line == "Arguments:") {
            inOptions = line == "Options:";
        } else if (inOptions && std::regex_match(line, parts, OptionLine)) {
            program.options.push_back({parts[1], parts[2], parts[3], parts[4], {}});
        } else if (inOptions && !program.options.empty() && line.starts_with("   ")) {
            std::string& text = program.options.back().summary;
            text += (text.empty() ? "" : " ") + line.substr(line.find_first_not_of(' '));
        }
    }
    for (ProgramOption& option : program.options) {
        option.summary = Summary(option.summary);
        option.value = CompletionOf(option);
    }
    return program;
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// The words that name the option: "-o --output".
std::vector<std::string> Names(const ProgramOption& option)
{
    std::vector<std::string> names;
    if (!option.shortName.empty())
        names.push_back("-" + option.shortName);
    names.push_back("--" + option.name);
    return names;
}

// "ezedudu ezedudu-cli ...".
std::string ProgramNames(const std::vector<Program>& programs)
{
    std::vector<std::string> names;
    for (const Program& program : programs)
        names.push_back(program.name);
    return Joined(names);
}

// The comment that opens each completion file.
std::string Heading(const std::string& shell, const std::vector<Program>& programs)
{
    return "# " + shell + " completion for " + ProgramNames(programs) +
           ": their options,\n"
           "# the values of those that take a word, and pictures for arguments. Made from\n"
           "# the programs' --help and option table when they are built.\n\n";
}

std::string Bash(const std::vector<Program>& programs)
{
    // An option means the same to every program, so its values are
    // completed in one place; each program offers its own options.
    std::map<std::string, std::vector<std::string>> namesByAction; // action -> option words
    for (const Program& program : programs)
        for (const ProgramOption& option : program.options) {
            if (option.valueName.empty())
                continue;
            const ValueCompletion& value = option.value;
            const std::string action = value.files ? "_filedir" + (value.extension.empty() ? "" : " " + value.extension)
                                       : value.words.empty()
                                           ? std::string()
                                           : "COMPREPLY=($(compgen -W '" + Joined(value.words) + "' -- \"$cur\"))";
            std::vector<std::string>& names = namesByAction[action];
            for (const std::string& name : Names(option))
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
        }
    std::ostringstream out;
    out << Heading("bash", programs)
        << "_ezedudu()\n{\n"
           "    local cur prev words cword split\n"
           "    _init_completion -s || return\n\n"
           "    case $prev in\n";
    for (const auto& [action, names] : namesByAction) {
        std::string pattern;
        for (const std::string& name : names)
            pattern += (pattern.empty() ? "" : " | ") + name;
        out << "        " << pattern << ")\n            " << (action.empty() ? "" : action + "; ") << "return ;;\n";
    }
    out << "    esac\n\n"
           "    if [[ $cur == -* ]]; then\n"
           "        local options\n"
           "        case ${words[0]##*/} in\n";
    for (const Program& program : programs) {
        std::vector<std::string> words;
        for (const ProgramOption& option : program.options)
            for (const std::string& name : Names(option))
                words.push_back(name);
        out << "            " << program.name << ") options='" << Joined(words) << "' ;;\n";
    }
    std::string upper = PictureExtensions;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    out << "        esac\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    _filedir '@("
        << PictureExtensions << '|' << upper
        << ")'\n"
           "} &&\n"
           "    complete -F _ezedudu "
        << ProgramNames(programs) << '\n';
    return out.str();
}

// Text inside the [description] of one single-quoted _arguments word.
std::string ZshDescription(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\'')
            escaped += "'\\''";
        else if (c == '[' || c == ']' || c == ':' || c == '\\')
            escaped += std::string("\\") + c;
        else
            escaped += c;
    }
    return escaped;
}

std::string ZshArgument(const ProgramOption& option, const std::string& name, const std::vector<std::string>& names)
{
    const bool ends = option.name == "help" || option.name == "help-all" || option.name == "version";
    std::ostringstream argument;
    argument << '\'';
    if (ends)
        argument << "(- *)";
    else if (names.size() > 1)
        argument << '(' << Joined(names) << ')';
    argument << name;
    if (!option.valueName.empty())
        argument << (name.starts_with("--") ? "=" : "+");
    argument << '[' << ZshDescription(option.summary) << ']';
    if (!option.valueName.empty()) {
        const ValueCompletion& value = option.value;
        argument << ':' << ZshDescription(option.valueName) << ':';
        if (value.files && value.extension.empty())
            argument << "_files";
        else if (value.files)
            argument << "_files -g \"*." << value.extension << "(-.)\"";
        else if (!value.words.empty())
            argument << '(' << Joined(value.words) << ')';
        else
            argument << ' ';
    }
    argument << '\'';
    return argument.str();
}

std::string Zsh(const std::vector<Program>& programs)
{
    std::ostringstream out;
    out << "#compdef " << ProgramNames(programs) << '\n'
        << Heading("zsh", programs)
        << "local pictures='_files -g \"*.(#i)("
        << PictureExtensions
        << ")(-.)\"'\n"
           "case $service in\n";
    for (const Program& program : programs) {
        out << "  " << program.name << ")\n    _arguments -s \\\n";
        for (const ProgramOption& option : program.options) {
            const std::vector<std::string> names = Names(option);
            for (const std::string& name : names)
                out << "      " << ZshArgument(option, name, names) << " \\\n";
        }
        out << "      \"" << (program.manyPictures ? "*" : "1") << ":picture:$pictures\"\n    ;;\n";
    }
    out << "esac\n";
    return out.str();
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file)
        std::cerr << "make_completions: cannot write " << path << '\n';
    return bool(file);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::cerr << "usage: make_completions FOLDER PROGRAM=HELP-FILE...\n";
        return 2;
    }
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string given = argv[i];
        const std::size_t equals = given.find('=');
        std::ifstream help(equals == std::string::npos ? std::string() : given.substr(equals + 1));
        if (!help) {
            std::cerr << "make_completions: cannot read the help in '" << given << "'\n";
            return 1;
        }
        programs.push_back(ReadHelp(given.substr(0, equals), help));
        if (programs.back().options.empty()) {
            std::cerr << "make_completions: no options in the help of " << programs.back().name << '\n';
            return 1;
        }
    }
    const std::string folder = argv[1];
    return WriteFile(folder + "/ezedudu.bash", Bash(programs)) && WriteFile(folder + "/_ezedudu", Zsh(programs))
               ? 0
               : 1;
}
