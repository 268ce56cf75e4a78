#pragma once

#include "ezedudu/compose.h"
#include "ezedudu/picture_loader.h"

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace ezedudu {

// The files a template names, found as TemplateFiles finds them, and kept
// between composes: each picture decoded once for each decode size, each art
// made once for each picture and options, so that composing again as the
// template is typed converts nothing again. Used by one thread at a time.
class CachedTemplateFiles : public TemplateSources {
public:
    explicit CachedTemplateFiles(std::filesystem::path templateFolder);

    std::shared_ptr<const RowSource> OpenPicture(const std::string& name, const ConversionOptions& options) override;
    std::string ReadFont(const std::string& name) override;
    ConvertedArt MakeArt(const std::string& name, const RowSource& picture, const ConversionOptions& options) override;

    // How many arts were made rather than found kept.
    int ArtsMade() const { return artsMade; }

private:
    struct KeptArt {
        std::string key; // the picture's name and its option words
        ConvertedArt art;
    };

    std::filesystem::path folder;
    std::map<std::string, std::shared_ptr<PictureFile>> pictures;
    std::map<std::string, std::string> fonts;
    std::deque<KeptArt> arts; // the most recently used first
    int artsMade = 0;
};

} // namespace ezedudu
