#pragma once

#include "ezedudu/convert.h"

#include <QElapsedTimer>

class frmMain;

// Keeps the window alive while the engine converts: between rows of cells it
// moves the progress bar and lets the window handle its events, about sixty
// times a second, so that a fast conversion spends its time converting.
class ConversionPacer : public ConversionObserver {
public:
    explicit ConversionPacer(frmMain& window);

    void CellRowDone(std::int64_t value, std::int64_t maximum) override;
    bool CancelRequested() override;

private:
    frmMain& window;
    QElapsedTimer sinceLastBreak;
};
