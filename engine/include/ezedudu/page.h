#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ezedudu {

// Every line of an NFO file ends so.
inline constexpr std::string_view LineEnd = "\r\n";

// Where a block of lines added at once lies on a page: the first cell of its
// first line, and how far apart its lines start. The cells may be written
// until the page changes.
struct CellBlock {
    char* origin;
    std::ptrdiff_t stride;

    char* Line(std::int64_t row) const { return origin + row * stride; }
};

// Lines of code-page-437 cells, each line as wide as its own cells: what
// every way of making text (art, logo lettering, text, boxes, rules) places
// its cells on, what the preview draws, and what WritePage turns into bytes.
//
// The page keeps its lines as the code-page-437 writer writes them, each
// followed by CR LF, so that art as large as its picture is never held twice
// on its way to a file. A cell may hold any byte but CR and LF.
class Page {
public:
    // Adds a line holding these cells.
    void AddLine(std::string_view cells);

    // Adds rows lines of columns spaces for the caller to fill. Room is made
    // for them and for a few short lines after them (an empty line and a
    // closing line), so that those never move the block.
    CellBlock AddBlankLines(std::int64_t columns, std::int64_t rows);

    std::int64_t LineCount() const { return lineCount; }
    // The widest line's cells.
    std::int64_t Width() const { return width; }
    std::string_view Line(std::int64_t index) const;

    // Every line's cells followed by CR LF: the page in code page 437.
    std::string_view Cp437() const { return bytes; }
    std::string TakeCp437() && { return std::move(bytes); }

private:
    // Lines of one width that follow each other.
    struct Run {
        std::int64_t firstLine;
        std::int64_t lines;
        std::size_t offset; // of the first line's first cell in bytes
        std::int64_t width;
    };

    void Extend(std::int64_t columns, std::int64_t rows, std::size_t offset);

    std::string bytes;
    std::vector<Run> runs;
    std::int64_t lineCount = 0;
    std::int64_t width = 0;
};

} // namespace ezedudu
