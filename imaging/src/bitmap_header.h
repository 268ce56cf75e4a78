#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ezedudu {

// What a bitmap file's headers promise, read from its first BitmapHeadBytes
// bytes, so that impossible files are refused before anything is allocated.
struct BitmapHeader {
    std::uint64_t width = 0;
    std::uint64_t height = 0; // top-down bitmaps store it negated
    // The smallest file that holds the headers and every pixel row; empty for
    // run-length data, whose length the header cannot tell.
    std::optional<std::uint64_t> minimumFileSize;
};

inline constexpr std::size_t BitmapHeadBytes = 34;

// Empty when the bytes do not start with a header this reader knows.
std::optional<BitmapHeader> ReadBitmapHeader(std::string_view fileStart);

} // namespace ezedudu
