#include "progress_meter.h"

#include <QString>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ezedudu {

bool StderrIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

ProgressMeter::ProgressMeter(bool showOnStderr, std::size_t pictures) : enabled(showOnStderr), pictureCount(pictures) {}

ProgressMeter::~ProgressMeter()
{
    Clear();
}

void ProgressMeter::StartPicture(std::size_t index, const std::string& name)
{
    pictureLabel = pictureCount > 1
                       ? QStringLiteral("[%1/%2] %3").arg(index + 1).arg(pictureCount).arg(QString::fromStdString(name)).toStdString()
                       : name;
    shownPercent = -1;
    Show(pictureLabel + ": reading");
}

void ProgressMeter::CellRowDone(std::int64_t value, std::int64_t maximum)
{
    const int percent = PercentDone(value, maximum);
    if (percent == shownPercent)
        return;
    shownPercent = percent;
    Show(pictureLabel + ": converting " + std::to_string(percent) + "%");
}

void ProgressMeter::Clear()
{
    if (!lineShown)
        return;
    std::fputs("\r\033[K", stderr);
    lineShown = false;
}

// At most ten updates a second, so short work does not flicker.
void ProgressMeter::Show(const std::string& text)
{
    const Clock::time_point now = Clock::now();
    if (!enabled || now - lastShown < std::chrono::milliseconds(100))
        return;
    lastShown = now;
    std::fprintf(stderr, "\r\033[K%s", text.c_str());
    std::fflush(stderr);
    lineShown = true;
}

} // namespace ezedudu
