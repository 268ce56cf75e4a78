#include "ezedudu/tone.h"

#include <algorithm>
#include <cmath>

namespace ezedudu {
namespace {

int Clamped(double level)
{
    return std::clamp(int(std::floor(level)), 0, 255);
}

// The lowest level at or below which at least share of the cells lie.
int Percentile(const LevelHistogram& levels, double share)
{
    std::int64_t cells = 0;
    for (const std::int64_t count : levels)
        cells += count;
    std::int64_t seen = 0;
    for (int level = 0; level < 256; ++level) {
        seen += levels[level];
        if (cells > 0 && double(seen) >= share * double(cells))
            return level;
    }
    return 255;
}

} // namespace

LevelTable ToneTable(const ToneOptions& tone, const LevelHistogram& levels)
{
    const int low = tone.levelsAuto ? Percentile(levels, 0.01) : 0;
    const int high = tone.levelsAuto ? Percentile(levels, 0.99) : 255;
    LevelTable table{};
    for (int level = 0; level < 256; ++level) {
        int value = level;
        if (high > low) // a picture of one level has nothing to stretch
            value = Clamped(double(value - low) * 255.0 / double(high - low));
        value = Clamped((value - 128) * (1.0 + tone.contrast / 100.0) + 128);
        value = Clamped(value + tone.brightness);
        value = Clamped(255.0 * std::pow(value / 255.0, 1.0 / tone.gamma));
        if (tone.invert)
            value = 255 - value;
        table[level] = static_cast<std::uint8_t>(value);
    }
    return table;
}

} // namespace ezedudu
