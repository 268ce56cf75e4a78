#pragma once

#include <cstdint>
#include <optional>

namespace ezedudu {

// The kinds of text file a release carries, each with the width its readers
// expect: a scene NFO, the narrower NFO of many P2P releases, and the
// FILE_ID.DIZ that lists show beside the file name.
enum class PageLayout { Nfo, P2p, Diz };

// How much text a page holds: columns a line, and for a DIZ a number of lines.
struct PageShape {
    std::int64_t width;
    std::optional<std::int64_t> maxLines;
};

constexpr PageShape ShapeOf(PageLayout layout)
{
    switch (layout) {
    case PageLayout::P2p: return {70, std::nullopt};
    case PageLayout::Diz: return {45, 10};
    case PageLayout::Nfo: break;
    }
    return {80, std::nullopt};
}

// The page options of the command line: a layout, and a width that, when
// given, replaces the layout's.
struct PageOptions {
    PageLayout layout = PageLayout::Nfo;
    std::optional<std::int64_t> width;

    constexpr PageShape Shape() const
    {
        PageShape shape = ShapeOf(layout);
        shape.width = width.value_or(shape.width);
        return shape;
    }
};

} // namespace ezedudu
