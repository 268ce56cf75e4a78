#include "ezedudu/conversion_job.h"

#include "ezedudu/art_conversion.h"

namespace ezedudu {

ConversionJob::ConversionJob(const std::filesystem::path& path, const ConversionOptions& jobOptions)
    : picture(OpenPicture(path, jobOptions)), options(jobOptions)
{
}

ConversionJob::ConversionJob(std::shared_ptr<const std::string> pictureBytes, const ConversionOptions& jobOptions)
    : picture(OpenPicture(std::move(pictureBytes), jobOptions)), options(jobOptions)
{
}

ConversionJob::ConversionJob(std::shared_ptr<const RowSource> opened, const ConversionOptions& jobOptions)
    : picture(std::move(opened)), options(jobOptions)
{
}

std::optional<ConvertedArt> ConversionJob::Convert(ConversionObserver* observer) const
{
    return ConvertArt(*picture, options, observer);
}

} // namespace ezedudu
