#include "conversion_pacer.h"

#include "frmMain.h"

namespace {
constexpr qint64 FrameMilliseconds = 16;
}

ConversionPacer::ConversionPacer(frmMain& form) : window(form)
{
    sinceLastBreak.start();
}

void ConversionPacer::CellRowDone(std::int64_t value, std::int64_t maximum)
{
    if (sinceLastBreak.elapsed() < FrameMilliseconds)
        return;
    window.platform.SetProgress(*window.Progress, value, maximum);
    window.platform.ProcessPendingEvents();
    sinceLastBreak.restart();
}

bool ConversionPacer::CancelRequested()
{
    return window.cancelRequested;
}
