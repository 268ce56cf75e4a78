#include "ezedudu/conversion_job.h"

#include "box_shrink.h"

#include "ezedudu/error.h"

#include <algorithm>
#include <limits>
#include <thread>

namespace ezedudu {
namespace {

// Below this a second thread costs more than it saves.
constexpr std::int64_t TwoThreadPixels = 1'000'000;

int ThreadsFor(const RowSource& picture)
{
    const bool large = picture.Width() * picture.Height() >= TwoThreadPixels;
    return large && std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

} // namespace

ConversionJob::ConversionJob(const std::filesystem::path& path, const ConversionOptions& jobOptions)
    : picture(OpenPicture(path, jobOptions.maxPixels)), options(jobOptions)
{
}

ConversionJob::ConversionJob(std::shared_ptr<const std::string> pictureBytes, const ConversionOptions& jobOptions)
    : picture(OpenPicture(std::move(pictureBytes), jobOptions.maxPixels)), options(jobOptions)
{
}

ConversionJob::ConversionJob(std::shared_ptr<const RowSource> opened, const ConversionOptions& jobOptions)
    : picture(std::move(opened)), options(jobOptions)
{
}

std::optional<std::string> ConversionJob::Convert(ConversionObserver* observer) const
{
    std::optional<std::string> nfo = options.Resamples()
                                         ? ConvertResampled(observer)
                                         : ConvertRows(*picture, observer, ThreadsFor(*picture), options.art);
    if (nfo && !options.layout.ChangesNothing())
        nfo = LayOut(*nfo, options.layout);
    return nfo;
}

// Each cell reads a block reaching one pixel past its 2 x 3, so art of
// N x R characters wants a picture of 2N + 1 x 3R + 1 pixels: every block
// then lies inside it. Qt's smooth scaling averages the area of each new
// pixel when shrinking and interpolates when enlarging. A picture many
// times larger is first shrunk by whole blocks as its rows stream in, so
// that it is never held whole.
std::optional<std::string> ConversionJob::ConvertResampled(ConversionObserver* observer) const
{
    const ArtSize art = FitArt(picture->Width(), picture->Height(), options.columns, options.rows, options.cellAspect);
    const std::int64_t width = ColumnStep * art.columns + 1;
    const std::int64_t height = RowStep * art.rows + 1;
    if (width > std::numeric_limits<int>::max() || height > std::numeric_limits<int>::max() ||
        width * height > options.maxPixels)
        throw Error(Error::Kind::PictureTooLarge, "art of " + std::to_string(art.columns) + " x " +
                                                      std::to_string(art.rows) + " characters needs " +
                                                      std::to_string(width) + " x " + std::to_string(height) +
                                                      " pixels, over the limit of " +
                                                      std::to_string(options.maxPixels) + " pixels");
    const std::int64_t factor = std::min(picture->Width() / width, picture->Height() / height);
    const std::optional<QImage> whole = factor >= 2 ? ShrinkByBlocks(*picture, int(factor), observer) : ImageOf(*picture);
    if (!whole)
        return std::nullopt;
    const QImage resampled = whole->scaled(int(width), int(height), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
    if (resampled.isNull())
        throw Error(Error::Kind::PictureTooLarge, "not enough memory to resample the picture");
    return ConvertPicture(CanvasOf(resampled), observer, options.art);
}

} // namespace ezedudu
