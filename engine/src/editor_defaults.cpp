#include "ezedudu/editor_defaults.h"

namespace ezedudu {

// Chosen by bench/art-quality: art that fits every viewer, drawn with the
// line shapes, which score highest on logos, lettering and thin lines and
// level with the half blocks on photos. Sharpening and levels auto stay
// off: neither raised both groups' scores.
ArtSettings EditorDefaults()
{
    ArtSettings defaults;
    defaults.conversion.columns = FittingColumns;
    defaults.conversion.art.glyphs = GlyphSet::Lines;
    return defaults;
}

} // namespace ezedudu
