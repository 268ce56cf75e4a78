#include "studio_defaults.h"

namespace ezedudu {

ArtSettings StudioDefaults()
{
    ArtSettings defaults;
    defaults.conversion.columns = FittingColumns; // art that fits every viewer
    return defaults;
}

} // namespace ezedudu
