#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ezedudu {

// The names of the fields a template asks for ({{title}}), each once, in the
// order they first appear. Throws TemplateError as Compose does for a
// template that does not parse.
std::vector<std::string> TemplateFieldNames(std::string_view templateBytes);

} // namespace ezedudu
