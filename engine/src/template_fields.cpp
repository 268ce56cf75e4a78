#include "ezedudu/template_fields.h"

#include "template_parser.h"

#include <algorithm>

namespace ezedudu {
namespace {

void CollectFields(const std::vector<TemplateNode>& nodes, std::vector<std::string>& names)
{
    for (const TemplateNode& node : nodes) {
        if (const auto* text = std::get_if<TextLine>(&node.content)) {
            for (const TextPiece& piece : text->pieces)
                if (piece.field && std::find(names.begin(), names.end(), Utf8Of(piece.text)) == names.end())
                    names.push_back(Utf8Of(piece.text));
        } else if (const auto* block = std::get_if<Block>(&node.content)) {
            CollectFields(block->children, names);
        }
    }
}

} // namespace

std::vector<std::string> TemplateFieldNames(std::string_view templateBytes)
{
    std::vector<std::string> names;
    CollectFields(ParseTemplate(TemplateLines(templateBytes)), names);
    return names;
}

} // namespace ezedudu
