// Any bytes through the UTF-8 decoder and the NFO check, as ezedudu-cli
// --check sees a file. Besides crashes and sanitizer reports, it stops on a
// decoder whose result does not encode back to the bytes it read, and on
// findings out of order or outside the text.
#include "ezedudu/nfo_check.h"
#include "ezedudu/utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace ezedudu;

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

// The code points decoded encode back to exactly the well-formed bytes, and
// a fault lies inside the input where no character decodes.
void CheckDecoder(std::string_view bytes)
{
    const Utf8Text text = DecodeUtf8(bytes);
    const std::size_t wellFormed = text.firstInvalidByte.value_or(bytes.size());
    Require(wellFormed <= bytes.size());
    if (text.firstInvalidByte)
        Require(DecodeUtf8Character(bytes, wellFormed).length == 0);
    std::string encoded;
    for (const char32_t codePoint : text.codePoints)
        AppendUtf8(encoded, codePoint);
    Require(encoded == bytes.substr(0, wellFormed));
}

void CheckFindings(std::string_view bytes, const PageShape& page)
{
    const std::vector<CheckFinding> findings = CheckNfo(bytes, page);
    const auto lines = std::int64_t(bytes.size()) + 1;
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const CheckFinding& finding = findings[i];
        Require(finding.line >= 1 && finding.line <= lines && finding.column >= 1 && !finding.message.empty());
        if (i > 0)
            Require(findings[i - 1].line < finding.line ||
                    (findings[i - 1].line == finding.line && findings[i - 1].column <= finding.column));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckDecoder(bytes);
    CheckFindings(bytes, ShapeOf(PageLayout::Nfo));
    CheckFindings(bytes, ShapeOf(PageLayout::Diz));
    return 0;
}
