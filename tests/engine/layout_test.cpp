#include "ezedudu/layout.h"
#include "ezedudu/nfo_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace ezedudu {
namespace {

LayoutOptions Layout(std::optional<std::int64_t> center, bool trim,
                     std::optional<std::string> signature = std::string(DefaultSignature))
{
    LayoutOptions layout;
    layout.center = center;
    layout.trim = trim;
    layout.signature = std::move(signature);
    return layout;
}

TEST(LayOut, CentresTrimsAndSignsTheLines)
{
    const std::string art = "\xDB\xB0 \r\n   \r\n";
    const std::string nfo = art + "\r\n" + std::string(ClosingLine) + "\r\n";
    Page lines;
    lines.AddLine("\xDB\xB0 ");
    lines.AddLine("   ");
    const std::string signature = std::string(DefaultSignature) + "\r\n";
    struct Case {
        const char* name;
        LayoutOptions layout;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"as it always was", Layout(std::nullopt, false), nfo},
        {"centred in 9", Layout(9, false), "   \xDB\xB0 \r\n      \r\n\r\n" + signature},
        {"centred in 80", Layout(80, false),
         std::string(38, ' ') + "\xDB\xB0 \r\n" + std::string(41, ' ') + "\r\n\r\n" + std::string(23, ' ') + signature},
        {"trimmed", Layout(std::nullopt, true), "\xDB\xB0\r\n\r\n\r\n" + std::string(ClosingLine) + "\r\n"},
        {"no signature", Layout(std::nullopt, false, std::nullopt), art},
        {"signed, centred and trimmed", Layout(80, true, "by me"),
         std::string(38, ' ') + "\xDB\xB0\r\n\r\n\r\n" + std::string(37, ' ') + "by me\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LayOut(lines, c.layout).Cp437(), c.expected) << c.name;
    }
}

} // namespace
} // namespace ezedudu
