#pragma once

#include "ezedudu/art_size.h"
#include "ezedudu/convert.h"
#include "ezedudu/layout.h"
#include "ezedudu/page_layout.h"

#include <cstdint>
#include <optional>

namespace ezedudu {

// 400 million pixels by default: large enough for any photo, small enough
// that a header claiming absurd dimensions is refused before any work.
inline constexpr std::int64_t DefaultMaxPixels = 400'000'000;

// How a picture becomes NFO art. The defaults give one character for every
// 2 x 3 pixels, each the glyph of its cell's band.
struct ConversionOptions {
    std::int64_t maxPixels = DefaultMaxPixels;
    // Art of this many columns and/or rows: the picture is resampled to fit
    // (see FitArt) before it is converted.
    std::optional<std::int64_t> columns;
    std::optional<std::int64_t> rows;
    double cellAspect = DefaultCellAspect; // the viewer's character height over width
    ArtOptions art;
    LayoutOptions layout;
    // What transparent pixels are laid over (0xRRGGBB); unset, the colour
    // the tone steps turn into a space: white, or black when inverted.
    std::optional<std::uint32_t> background;

    bool Resamples() const { return columns || rows; }
    std::uint32_t Paper() const { return background.value_or(art.tone.invert ? 0x000000 : 0xFFFFFF); }
};

enum class PreviewTheme {
    Light, // dark text on white
    Dark,  // light grey on black, as DOS showed it
};

// Everything the options of the command line and the studio's controls set:
// how the art is made, how its preview is drawn, and the page that whole
// files are checked against (only ezedudu-cli takes those).
struct ArtSettings {
    ConversionOptions conversion;
    PreviewTheme theme = PreviewTheme::Light;
    PageOptions page = {};
};

} // namespace ezedudu
