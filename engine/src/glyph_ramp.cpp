#include "ezedudu/glyph_ramp.h"

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

const std::array<std::uint8_t, 256>& GlyphTable()
{
    return Table;
}

} // namespace ezedudu
