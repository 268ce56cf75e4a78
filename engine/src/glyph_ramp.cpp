#include "ezedudu/glyph_ramp.h"

#include <algorithm>
#include <cmath>

namespace ezedudu {
namespace {

constexpr std::array<std::uint8_t, 256> MakeGlyphTable()
{
    std::array<std::uint8_t, 256> table{};
    for (const GlyphBand& band : GlyphBands)
        for (int level = band.firstLevel; level < 256; ++level)
            table[level] = band.cp437;
    return table;
}

constexpr std::array<std::uint8_t, 256> Table = MakeGlyphTable();

} // namespace

std::uint8_t GlyphRamp(std::uint8_t greyLevel)
{
    return Table[greyLevel];
}

const GlyphBand* GlyphBandOf(std::uint8_t cp437)
{
    for (const GlyphBand& band : GlyphBands)
        if (band.cp437 == cp437)
            return &band;
    return nullptr;
}

const GlyphBand& NearestShade(double level)
{
    constexpr double step = GlyphBands[1].level - GlyphBands[0].level;
    const auto index = std::clamp<long>(std::lround(std::floor((level - GlyphBands[0].level) / step + 0.5)), 0,
                                        long(GlyphBands.size()) - 1);
    return GlyphBands[static_cast<std::size_t>(index)];
}

const std::array<std::uint8_t, 256>& GlyphTable()
{
    return Table;
}

} // namespace ezedudu
