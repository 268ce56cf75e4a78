#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

namespace ezedudu {

// The pixel limit the targets open pictures with: EZEDUDU_FUZZ_MAX_PIXELS,
// or a small one that keeps every input quick, for a few bytes of
// run-length data can claim a picture as large as the limit allows.
// scripts/fuzz also runs them at the programs' own limit, under a memory
// limit, so that a picture that claims much and holds little is caught
// taking memory its text does not justify.
inline std::int64_t FuzzPixelLimit()
{
    static const std::int64_t limit = [] {
        const char* given = std::getenv("EZEDUDU_FUZZ_MAX_PIXELS");
        return given ? std::stoll(given) : std::int64_t(1) << 18;
    }();
    return limit;
}

} // namespace ezedudu
