#pragma once

#include <array>
#include <cstdint>

namespace ezedudu {

// Adjustments of each cell's grey level, applied in the order of the fields,
// each step rounded down and clamped to 0-255. The defaults change nothing.
struct ToneOptions {
    bool levelsAuto = false; // the picture's 1st to 99th percentile stretched onto 0-255
    int contrast = 0;        // -100 to 100: (L - 128) * (1 + contrast / 100) + 128
    int brightness = 0;      // -255 to 255: L + brightness
    double gamma = 1.0;      // above 0: 255 * (L / 255) ^ (1 / gamma)
    bool invert = false;     // 255 - L, for light-on-dark viewers

    bool ChangesNothing() const
    {
        return !levelsAuto && contrast == 0 && brightness == 0 && gamma == 1.0 && !invert;
    }
};

using LevelTable = std::array<std::uint8_t, 256>;

// How many cells have each grey level.
using LevelHistogram = std::array<std::int64_t, 256>;

// The tone steps folded into one table from level to level. The histogram
// is read only for levelsAuto.
LevelTable ToneTable(const ToneOptions& tone, const LevelHistogram& levels = {});

} // namespace ezedudu
