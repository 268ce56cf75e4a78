#pragma once

#include "ezedudu/conversion_job.h"
#include "ezedudu/preview.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace ezedudu {

using PictureOpener = std::function<std::shared_ptr<const RowSource>(const ConversionOptions&)>;

// A picture and the art made from it with the options, kept as one record
// and replaced whole, so that art is never saved, exported or described
// under another picture's name or options. Every member has an initializer
// so that designated initializers may name only some.
struct Artwork {
    // Opens the picture for a render's options, on the renderer's thread:
    // a file's art must be the CLI's, which decodes a JPEG smaller for fitted
    // art. Empty when picture is the picture for every render.
    PictureOpener open{};
    // The picture the art was made from; empty until the first render.
    std::shared_ptr<const RowSource> picture{};
    QString path{}; // empty for a pasted picture
    QString name{}; // as the title shows it
    ConversionOptions options{};
    PreviewTheme theme = PreviewTheme::Light;
    ConvertedArt nfo{}; // an empty page until rendered
};

} // namespace ezedudu
