#include "ezedudu/conversion_job.h"

#include "ezedudu/nfo_text.h"

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

std::optional<std::string> ConversionJob::Convert(ConversionObserver* observer) const
{
    std::optional<std::string> nfo = ConvertRows(*picture, observer, ThreadsFor(*picture));
    if (nfo && options.utf8)
        nfo = NfoToUtf8(*nfo);
    return nfo;
}

} // namespace ezedudu
