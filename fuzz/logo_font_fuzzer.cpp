// Feeds any bytes to the logo font reader as a font file and draws a text in
// every font it accepts. The text is what follows the input's last NUL byte
// when it has one (so the fuzzer can vary it), else a sample line; the
// drawing must come out as Height() lines of one width.
#include "ezedudu/error.h"
#include "ezedudu/logo_font.h"
#include "ezedudu/utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace ezedudu;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.rfind('\0');
    const std::string_view fontBytes = split == std::string_view::npos ? input : input.substr(0, split);
    const std::u32string text = split == std::string_view::npos ? std::u32string(U"Ezedudu 3.0 [ÄÖÜß] -_|/\\<>")
                                                                : DecodeUtf8(input.substr(split + 1)).codePoints;
    try {
        const LogoFont font = LogoFont::Parse(fontBytes, "fuzz.flf");
        for (const bool cp437 : {false, true}) {
            try {
                const auto check = [&](const auto& lines) {
                    if (lines.size() != std::size_t(font.Height()))
                        std::abort();
                    for (const auto& line : lines)
                        if (line.size() != lines[0].size() || line.size() > 1000)
                            std::abort();
                };
                if (cp437)
                    check(font.DrawCp437(text, 1000));
                else
                    check(font.Draw(text, 1000));
            } catch (const Error&) {
                // A character the font lacks, a drawing too wide, or no code page 437 shape.
            }
        }
    } catch (const Error&) {
        // Refused with a reason: what the reader should do with bad bytes.
    }
    return 0;
}
