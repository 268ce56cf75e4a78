#pragma once

#include <QString>

#include <string_view>

namespace ezedudu {

// The program's own texts (the option table's, messages) are UTF-8.
inline QString QtText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace ezedudu
