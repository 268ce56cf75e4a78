#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ezedudu {

// The names of the fields a template asks for ({{title}} ...), each once, in
// the order they first appear: what a form for its values holds. Throws
// TemplateError where the template cannot be read.
std::vector<std::string> TemplateFieldNames(std::string_view templateBytes);

} // namespace ezedudu
