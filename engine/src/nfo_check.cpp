#include "ezedudu/nfo_check.h"

#include "ezedudu/cp437.h"
#include "ezedudu/sauce_record.h"
#include "ezedudu/utf8.h"

#include <algorithm>
#include <array>
#include <optional>

namespace ezedudu {
namespace {

constexpr char Bell = '\x07';
constexpr char Escape = '\x1B';
constexpr char EndOfFile = '\x1A';
constexpr char32_t ByteOrderMark = 0xFEFF;

enum class LineEndKind { CrLf, Lf, Cr };

constexpr std::array<std::string_view, 3> LineEndNames = {"CR LF", "LF alone", "CR alone"};

std::string_view NameOf(LineEndKind kind)
{
    return LineEndNames[std::size_t(kind)];
}

struct Line {
    std::int64_t number;
    std::string_view text; // without its line end
    std::optional<LineEndKind> end;
};

// Calls visit for each line as editors count them: LF, CR LF and a CR
// alone each end one. Lines are not kept: a file of line ends alone would
// take many times its size.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit)
{
    std::int64_t number = 0;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\n' && text[at] != '\r')
            continue;
        const bool crLf = text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n';
        const LineEndKind kind = crLf ? LineEndKind::CrLf : text[at] == '\n' ? LineEndKind::Lf : LineEndKind::Cr;
        visit(Line{++number, text.substr(start, at - start), kind});
        at += crLf;
        start = at + 1;
    }
    if (start < text.size())
        visit(Line{++number, text.substr(start), std::nullopt});
}

std::string Count(std::int64_t count, std::string_view what)
{
    return std::to_string(count) + " " + std::string(what) + (count == 1 ? "" : "s");
}

// " (12 tabs in all)", or nothing for the only one.
std::string InAll(std::int64_t count, std::string_view what)
{
    return count == 1 ? std::string() : " (" + Count(count, what) + " in all)";
}

// A warning given once, where it first applies, with how often it does.
struct CountedWarning {
    std::int64_t line = 0;
    std::int64_t column = 0;
    std::int64_t count = 0;

    void Add(std::int64_t atLine, std::int64_t atColumn)
    {
        if (count++ == 0)
            line = atLine, column = atColumn;
    }
};

// The first multi-byte character of text that is wholly well-formed UTF-8,
// or nullopt when it is not UTF-8 or plain ASCII.
std::optional<std::size_t> FirstUtf8Character(std::string_view text)
{
    std::optional<std::size_t> first;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = DecodeUtf8Character(text, at).length;
        if (length == 0)
            return std::nullopt;
        if (length > 1 && !first)
            first = at;
        at += length;
    }
    return first;
}

// The problems, in the order they are found, up to the first thousand: a
// file of escape bytes alone would otherwise take many times its size.
class ProblemList {
public:
    void Add(std::int64_t line, std::int64_t column, std::string message)
    {
        if (findings.size() < MaxListed)
            findings.push_back({line, column, CheckSeverity::Problem, std::move(message)});
        else if (unlisted++ == 0)
            firstUnlisted = {line, column, CheckSeverity::Problem, {}};
    }

    std::vector<CheckFinding> Take()
    {
        if (unlisted > 0) {
            firstUnlisted.message = Count(unlisted, "more problem") + " from here on, not listed";
            findings.push_back(std::move(firstUnlisted));
        }
        return std::move(findings);
    }

private:
    static constexpr std::size_t MaxListed = 1000;
    std::vector<CheckFinding> findings;
    std::int64_t unlisted = 0;
    CheckFinding firstUnlisted{};
};

// The first end-of-file mark that hides text: one that only line ends and
// more marks follow hides nothing.
std::optional<std::size_t> HidingEndOfFile(std::string_view text)
{
    const std::size_t mark = text.find(EndOfFile);
    const std::size_t lastShown = text.find_last_not_of("\r\n\x1A");
    if (mark == std::string_view::npos || lastShown == std::string_view::npos || mark > lastShown)
        return std::nullopt;
    return mark;
}

void CheckControlBytes(const Line& line, ProblemList& problems)
{
    for (std::size_t at = 0; at < line.text.size(); ++at) {
        const auto column = std::int64_t(at) + 1;
        if (line.text[at] == Escape && line.text.substr(at + 1, 1) == "[")
            problems.Add(line.number, column,
                         "an ANSI escape sequence (ESC [): viewers act on it instead of showing the text");
        else if (line.text[at] == Escape)
            problems.Add(line.number, column, "ESC (byte 27): viewers act on it instead of showing \u2190");
        else if (line.text[at] == Bell)
            problems.Add(line.number, column, "BEL (byte 7): a DOS screen beeps instead of showing \u2022");
    }
}

} // namespace

std::vector<CheckFinding> CheckNfo(std::string_view file, const PageShape& page)
{
    std::string_view text = TextBeforeSauce(file);
    // DOS editors end a file with the mark; it is not a line of its own.
    while (!text.empty() && text.back() == EndOfFile)
        text.remove_suffix(1);
    ProblemList problems;
    const std::optional<std::size_t> utf8At = FirstUtf8Character(text);
    const std::optional<std::size_t> endOfFileAt = HidingEndOfFile(text);
    CountedWarning tabs, trailingSpaces;
    std::optional<Line> firstEnded;
    bool mixedSeen = false;
    std::int64_t lineCount = 0;
    ForEachLine(text, [&lineCount](const Line& line) { lineCount = line.number; });
    ForEachLine(text, [&](const Line& line) {
        const auto width = std::int64_t(line.text.size());
        const auto offset = std::size_t(line.text.data() - text.data());
        const auto inLine = [&](const std::optional<std::size_t>& at) {
            return at && *at >= offset && *at < offset + line.text.size();
        };
        if (inLine(utf8At)) {
            const Utf8Character decoded = DecodeUtf8Character(text, *utf8At);
            const std::string_view character = text.substr(*utf8At, decoded.length);
            std::string named = "its byte order mark";
            if (decoded.codePoint != ByteOrderMark)
                named.assign("'").append(character).append("'");
            problems.Add(line.number, std::int64_t(*utf8At - offset) + 1,
                         "the file is UTF-8: viewers read code page 437 and show " + named + " as '" +
                             Cp437ToUtf8(character) + "'; save it as code page 437");
        }
        if (page.maxLines && line.number == *page.maxLines + 1)
            problems.Add(line.number, 1,
                         Count(lineCount, "line") + ", more than the " + std::to_string(*page.maxLines) +
                             " the layout allows");
        if (width > page.width)
            problems.Add(line.number, page.width + 1,
                         "the line is " + std::to_string(width) + " columns wide, more than " +
                             std::to_string(page.width));
        if (inLine(endOfFileAt))
            problems.Add(line.number, std::int64_t(*endOfFileAt - offset) + 1,
                         "0x1A (DOS's end of file) before the end: viewers show nothing after it");
        CheckControlBytes(line, problems);
        for (std::size_t at = line.text.find('\t'); at != std::string_view::npos; at = line.text.find('\t', at + 1))
            tabs.Add(line.number, std::int64_t(at) + 1);
        if (!line.text.empty() && line.text.back() == ' ')
            trailingSpaces.Add(line.number, std::int64_t(line.text.find_last_not_of(' ') + 1) + 1);
        if (!line.end)
            return;
        if (!firstEnded) {
            firstEnded = line;
            if (*line.end == LineEndKind::Cr)
                problems.Add(line.number, width + 1, "a line ends in CR alone: viewers do not start a new line there");
        } else if (*line.end != *firstEnded->end && !mixedSeen) {
            mixedSeen = true;
            problems.Add(line.number, width + 1,
                         "line ends are mixed: this one is " + std::string(NameOf(*line.end)) + ", line " +
                             std::to_string(firstEnded->number) + "'s " + std::string(NameOf(*firstEnded->end)));
        }
    });
    std::vector<CheckFinding> findings = problems.Take();
    if (firstEnded && *firstEnded->end == LineEndKind::Lf && !mixedSeen)
        findings.push_back({firstEnded->number, std::int64_t(firstEnded->text.size()) + 1, CheckSeverity::Warning,
                            "line ends are LF alone: DOS and Windows viewers expect CR LF"});
    if (tabs.count)
        findings.push_back({tabs.line, tabs.column, CheckSeverity::Warning,
                            "a tab: viewers differ in how far it reaches, spaces do not" +
                                InAll(tabs.count, "tab")});
    if (trailingSpaces.count)
        findings.push_back({trailingSpaces.line, trailingSpaces.column, CheckSeverity::Warning,
                            "spaces at the end of the line: viewers show none, and they make the file bigger" +
                                InAll(trailingSpaces.count, "line")});
    std::stable_sort(findings.begin(), findings.end(), [](const CheckFinding& a, const CheckFinding& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return findings;
}

} // namespace ezedudu
