#pragma once

#include "ezedudu/compose.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ezedudu {

// The files a template names, found relative to its folder: pictures through
// the picture loader, fonts read whole. Every file opened is remembered, so
// that no output is ever written over one.
class TemplateFiles : public TemplateSources {
public:
    explicit TemplateFiles(std::filesystem::path templateFolder);

    std::shared_ptr<const RowSource> OpenPicture(const std::string& name, const ConversionOptions& options) override;
    std::string ReadFont(const std::string& name) override;

    const std::vector<std::filesystem::path>& FilesRead() const { return read; }

private:
    std::filesystem::path PathOf(const std::string& name);

    std::filesystem::path folder;
    std::vector<std::filesystem::path> read;
};

// A fault in a fields file, at its line.
struct FieldsError {
    std::filesystem::path file;
    std::int64_t line;
    std::string message;
};

// Lays the NAME=VALUE lines of a fields file over fields; blank lines and
// lines starting with # say nothing. Throws FieldsError for a line that is
// neither, and Error as ReadTextFile does.
void ReadFieldsFile(const std::filesystem::path& file, TemplateFields& fields);

// A text file read whole: a template, a font, a list of fields. Throws Error
// (MissingFile; UnreadablePicture for one that cannot be read; Refused for
// one over maxBytes) with the reason, which the caller puts after the path.
std::string ReadTextFile(const std::filesystem::path& path, std::int64_t maxBytes);

} // namespace ezedudu
