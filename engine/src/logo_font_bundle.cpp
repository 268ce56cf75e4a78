#include "ezedudu/logo_font.h"

#include "logo_font_bundle.h"

#include <algorithm>

namespace ezedudu {

std::optional<std::string_view> BundledFont(std::string_view name)
{
    const auto found = std::lower_bound(BundledFontNameList.begin(), BundledFontNameList.end(), name);
    if (found == BundledFontNameList.end() || *found != name)
        return std::nullopt;
    return BundledFontTextList[std::size_t(found - BundledFontNameList.begin())];
}

std::span<const std::string_view> BundledFontNames()
{
    return BundledFontNameList;
}

} // namespace ezedudu
