#pragma once

#include "ezedudu/art_conversion.h"
#include "ezedudu/conversion_options.h"
#include "ezedudu/page.h"
#include "ezedudu/page_layout.h"
#include "ezedudu/row_source.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ezedudu {

// What a template may read, by the names it gives (paths relative to the
// template's folder): a program's files, or files held in memory. A template
// reads nothing else and runs nothing.
class TemplateSources {
public:
    virtual ~TemplateSources() = default;

    // The picture opened for these options. Throws Error when it cannot be.
    virtual std::shared_ptr<const RowSource> OpenPicture(const std::string& name,
                                                         const ConversionOptions& options) = 0;

    // The bytes of a font file. Throws Error when it cannot be read.
    virtual std::string ReadFont(const std::string& name) = 0;

    // The art of the picture opened for name with the options: ConvertArt's.
    // A program that composes one template again and again, as its text is
    // typed, may keep the art it made for the same picture and options.
    virtual ConvertedArt MakeArt(const std::string& name, const RowSource& picture,
                                 const ConversionOptions& options);
};

// Field values by name, in UTF-8. The caller gives "date" too when the
// template may ask for it.
using TemplateFields = std::map<std::string, std::string, std::less<>>;

// The shape of the file a template makes.
struct ComposeOptions {
    // No line is wider than its width; a limit on lines counts every line.
    PageShape shape = ShapeOf(PageLayout::Nfo);
    // The closing line's text, or none: then the empty line before it goes too.
    std::optional<std::string> signature = std::string(DefaultSignature);
};

// A fault in a template: where it lies (line and column from 1, columns
// counted in characters) and what was expected there.
class TemplateError : public std::runtime_error {
public:
    TemplateError(std::int64_t atLine, std::int64_t atColumn, const std::string& message)
        : std::runtime_error(message), line(atLine), column(atColumn)
    {
    }

    std::int64_t Line() const { return line; }
    std::int64_t Column() const { return column; }

private:
    std::int64_t line;
    std::int64_t column;
};

// The whole NFO file a template describes, laid out to options.shape.width and
// signed. The template's bytes are UTF-8, or else code page 437 (its bytes
// below 32, but for CR, LF and tab, being its pictures); plain lines are
// written as they are, directives in {{ }} make the rest. Throws
// TemplateError for a fault in the template or in what it names, and Error
// for a signature wider than the width.
Page Compose(std::string_view templateBytes, const TemplateFields& fields, TemplateSources& sources,
             const ComposeOptions& options);

} // namespace ezedudu
