#pragma once

#include "platform_services.h"

#include "ezedudu/convert.h"

#include <QElapsedTimer>

class QProgressBar;

namespace ezedudu {

// Keeps the window alive while the engine converts: between rows of cells it
// moves the progress bar and lets the window handle its events, about sixty
// times a second, so that a fast conversion spends its time converting.
class ConversionPacer : public ConversionObserver {
public:
    // cancelRequested is the window's flag, read after every row of cells.
    ConversionPacer(PlatformServices& platform, QProgressBar& progress, const bool& cancelRequested);

    void CellRowDone(std::int64_t value, std::int64_t maximum) override;
    bool CancelRequested() override;

private:
    PlatformServices& platform;
    QProgressBar& progress;
    const bool& cancelRequested;
    QElapsedTimer sinceLastBreak;
};

} // namespace ezedudu
