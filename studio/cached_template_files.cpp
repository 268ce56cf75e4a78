#include "cached_template_files.h"

#include "ezedudu/option_table.h"
#include "ezedudu/qt_path.h"
#include "ezedudu/template_files.h"

#include <algorithm>

namespace ezedudu {
namespace {

// A template names a few pictures; a decoded one may take hundreds of MiB.
constexpr std::size_t KeptPictures = 4;
// Art is small: a page of cells.
constexpr std::size_t KeptArts = 32;

} // namespace

CachedTemplateFiles::CachedTemplateFiles(std::filesystem::path templateFolder) : folder(std::move(templateFolder)) {}

std::shared_ptr<const RowSource> CachedTemplateFiles::OpenPicture(const std::string& name,
                                                                  const ConversionOptions& options)
{
    std::shared_ptr<PictureFile>& picture = pictures[name];
    if (!picture) {
        if (pictures.size() > KeptPictures) {
            pictures.clear();
            return OpenPicture(name, options);
        }
        picture = std::make_shared<PictureFile>(folder / ToPath(QString::fromStdString(name)));
    }
    return picture->For(options);
}

std::string CachedTemplateFiles::ReadFont(const std::string& name)
{
    if (const auto kept = fonts.find(name); kept != fonts.end())
        return kept->second;
    std::string font = TemplateFiles(folder).ReadFont(name);
    return fonts[name] = std::move(font);
}

ConvertedArt CachedTemplateFiles::MakeArt(const std::string& name, const RowSource& picture,
                                          const ConversionOptions& options)
{
    // The option words name every option that differs from its default, and
    // read back as exactly these options.
    std::string key = name;
    for (const std::string& word : ArgumentsFor(ArtSettings{options}, false))
        key.append(1, '\0').append(word);
    const auto kept = std::find_if(arts.begin(), arts.end(), [&](const KeptArt& art) { return art.key == key; });
    if (kept != arts.end()) {
        std::rotate(arts.begin(), kept, kept + 1);
        return arts.front().art;
    }
    ++artsMade;
    arts.push_front({std::move(key), TemplateSources::MakeArt(name, picture, options)});
    if (arts.size() > KeptArts)
        arts.pop_back();
    return arts.front().art;
}

} // namespace ezedudu
