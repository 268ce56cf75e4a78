#pragma once

#include "ezedudu/conversion_options.h"
#include "ezedudu/convert.h"
#include "ezedudu/row_source.h"

#include <optional>

namespace ezedudu {

// A picture's NFO file: its page (the art laid out, then the closing line)
// and the size of the art at its top.
struct ConvertedArt {
    Page page;
    ArtSize art;
};

// The NFO file for an opened picture with the options, the one way every
// program converts; empty when the observer cancelled. Transparent pixels
// are laid over options.Paper(); fitted art is measured by the picture's
// full size (RowSource::FullWidth). Without resampling, pictures of a million
// pixels or more convert on two threads where the machine has them. Throws
// Error for a picture without pixels, pixel data found corrupt on the way,
// or art too large for the pixel limit.
std::optional<ConvertedArt> ConvertArt(const RowSource& picture, const ConversionOptions& options,
                                      ConversionObserver* observer = nullptr);

} // namespace ezedudu
