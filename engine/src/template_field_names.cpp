#include "ezedudu/template_field_names.h"

#include "template_parser.h"

#include "ezedudu/compose.h"
#include "ezedudu/utf8.h"

#include <algorithm>

namespace ezedudu {
namespace {

void AddFieldNames(const std::vector<TemplateNode>& nodes, std::vector<std::string>& names)
{
    for (const TemplateNode& node : nodes) {
        if (const auto* block = std::get_if<Block>(&node.content)) {
            AddFieldNames(block->children, names);
        } else if (const auto* text = std::get_if<TextLine>(&node.content)) {
            for (const TextPiece& piece : text->pieces) {
                if (!piece.field)
                    continue;
                std::string name = EncodeUtf8(piece.text);
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(std::move(name));
            }
        }
    }
}

} // namespace

std::vector<std::string> TemplateFieldNames(std::string_view templateBytes)
{
    std::vector<std::string> names;
    AddFieldNames(ParseTemplate(TemplateLines(templateBytes)), names);
    return names;
}

} // namespace ezedudu
