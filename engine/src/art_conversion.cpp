#include "ezedudu/art_conversion.h"

#include "ezedudu/basMain.h"
#include "ezedudu/box_shrink.h"
#include "ezedudu/decode_scale.h"
#include "ezedudu/error.h"
#include "ezedudu/glyph_choice.h"
#include "ezedudu/held_picture.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/paper_rows.h"
#include "ezedudu/pixel_limit.h"
#include "ezedudu/resample.h"
#include "worker_threads.h"

#include <algorithm>
#include <limits>

namespace ezedudu {
namespace {

// Below this a second thread costs more than it saves.
constexpr std::int64_t TwoThreadPixels = 1'000'000;

// What art drawn from samples may hold beyond its own text: the picture in
// memory and its samples.
constexpr std::int64_t SampledArtBytes = std::int64_t(64) << 20;

int ThreadsFor(const RowSource& picture)
{
    const bool large = picture.Width() * picture.Height() >= TwoThreadPixels;
    return large && AvailableThreads() >= 2 ? 2 : 1;
}

std::string SizeText(const ArtSize& art)
{
    return std::to_string(art.columns) + " x " + std::to_string(art.rows) + " characters";
}

void CheckPixels(const ArtSize& art, std::int64_t width, std::int64_t height, std::int64_t maxPixels)
{
    if (width > std::numeric_limits<int>::max() || height > std::numeric_limits<int>::max() ||
        width * height > maxPixels)
        throw Error(Error::Kind::PictureTooLarge, "art of " + SizeText(art) + " needs " + std::to_string(width) +
                                                      " x " + std::to_string(height) + " pixels, over the limit of " +
                                                      std::to_string(maxPixels) + " pixels");
}

// A picture many times larger than width x height is shrunk by whole blocks
// as its rows stream in, so that it is never held whole.
std::int64_t ShrinkFactor(const RowSource& source, std::int64_t width, std::int64_t height)
{
    return std::min(source.Width() / std::max<std::int64_t>(1, width),
                    source.Height() / std::max<std::int64_t>(1, height));
}

std::optional<HeldPicture> PictureInMemory(const RowSource& source, std::int64_t factor,
                                           ConversionObserver* observer)
{
    if (factor >= 2)
        return ShrinkByBlocks(source, int(factor), observer);
    return GatherRows(source);
}

// The picture is resampled by area to FittedPixels: every cell's block then
// lies inside it.
std::optional<Page> ConvertResampled(const RowSource& source, const ArtSize& art, const ConversionOptions& options,
                                     ConversionObserver* observer)
{
    const auto [width, height] = FittedPixels(art, GlyphSet::Shades);
    CheckPixels(art, width, height, options.maxPixels);
    const std::optional<HeldPicture> whole = PictureInMemory(source, ShrinkFactor(source, width, height), observer);
    if (!whole)
        return std::nullopt;
    const Canvas& canvas = whole->View();
    std::vector<std::uint32_t> pixels = ResampleArea(canvas, canvas.Width(), canvas.Height(), width, height);
    return ConvertPicture(Canvas(pixels.data(), width, height, std::ptrdiff_t(width * sizeof(std::uint32_t))),
                          observer, options.art);
}

// The samples' grey levels; the samples themselves are let go on return,
// before the glyphs are chosen.
LevelGrid GreyLevels(std::vector<std::uint32_t> pixels, std::int64_t width, std::int64_t height)
{
    LevelGrid grid{width, height, std::vector<std::uint8_t>(pixels.size())};
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const ColourValue colour = ColourFromPixel(pixels[i]);
        grid.levels[i] = basMain::GreyLevel(colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF);
    }
    return grid;
}

// Art with half blocks needs each cell's shape, not just its mean: fitted
// art samples the picture 4 x 4 a cell, art at the natural size samples each
// cell's own 2 x 3 pixels 2 x 2.
std::optional<Page> ConvertSampled(const RowSource& source, const ArtSize& fittedArt, const ConversionOptions& options,
                                   ConversionObserver* observer)
{
    const bool fitted = options.Resamples();
    const ArtSize art = fitted ? fittedArt : ArtSize{source.Width() / ColumnStep, source.Height() / RowStep};
    const int samples = fitted ? FittedSamples : NaturalSamples;
    const std::int64_t width = samples * art.columns;
    const std::int64_t height = samples * art.rows;
    CheckPixels(art, width, height, options.maxPixels);
    const std::int64_t factor = ShrinkFactor(source, width, height);
    const std::int64_t held = (factor >= 2 ? 0 : source.Width() * source.Height() * 4) + width * height * 5;
    if (held > SampledArtBytes + art.columns * art.rows)
        throw Error(Error::Kind::Refused,
                    std::string(options.art.glyphs == GlyphSet::Lines ? "--glyphs lines" : "--glyphs blocks") +
                        " would hold " + std::to_string(held >> 20) + " MiB for art of " + SizeText(art) +
                        "; make the art smaller with --columns");
    const std::optional<HeldPicture> whole = PictureInMemory(source, factor, observer);
    if (!whole)
        return std::nullopt;
    // All of the picture when fitted; whole cells at the natural size.
    const Canvas& canvas = whole->View();
    LevelGrid grid = GreyLevels(ResampleArea(canvas, fitted ? canvas.Width() : ColumnStep * art.columns,
                                             fitted ? canvas.Height() : RowStep * art.rows, width, height),
                                width, height);
    Page page;
    DrawArt(std::move(grid), samples, options.art, page.AddBlankLines(art.columns, art.rows).origin,
            AvailableThreads());
    return page;
}

} // namespace

std::optional<ConvertedArt> ConvertArt(const RowSource& picture, const ConversionOptions& options,
                                       ConversionObserver* observer)
{
    CheckHasPixels(picture.Width(), picture.Height());
    // Transparent pixels show the paper that the art leaves blank.
    const std::optional<PaperRows> overPaper =
        picture.HasAlpha() ? std::optional<PaperRows>(std::in_place, picture, options.Paper()) : std::nullopt;
    const RowSource& source = overPaper ? *overPaper : picture;
    // Fitted art is measured by the picture's own size, however small it
    // was decoded, so that its size never depends on the decode.
    const ArtSize fitted = options.Resamples() ? FitArt(picture.FullWidth(), picture.FullHeight(), options.columns,
                                                        options.rows, options.cellAspect)
                                               : ArtSize{};
    std::optional<Page> art;
    if (options.art.glyphs != GlyphSet::Shades)
        art = ConvertSampled(source, fitted, options, observer);
    else if (options.Resamples())
        art = ConvertResampled(source, fitted, options, observer);
    else
        art = ConvertRows(source, observer, ThreadsFor(source), options.art);
    if (!art)
        return std::nullopt;
    const ArtSize size{art->Width(), art->LineCount()};
    return ConvertedArt{LayOut(std::move(*art), options.layout), size};
}

} // namespace ezedudu
