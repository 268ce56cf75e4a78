#include "conversion_pacer.h"

namespace ezedudu {
namespace {
constexpr qint64 FrameMilliseconds = 16;
}

ConversionPacer::ConversionPacer(PlatformServices& services, QProgressBar& bar, const bool& cancelFlag)
    : platform(services), progress(bar), cancelRequested(cancelFlag)
{
    sinceLastBreak.start();
}

void ConversionPacer::CellRowDone(std::int64_t value, std::int64_t maximum)
{
    if (sinceLastBreak.elapsed() < FrameMilliseconds)
        return;
    platform.SetProgress(progress, value, maximum);
    platform.ProcessPendingEvents();
    sinceLastBreak.restart();
}

bool ConversionPacer::CancelRequested()
{
    return cancelRequested;
}

} // namespace ezedudu
