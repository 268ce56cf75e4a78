#pragma once

#include "ezedudu/convert.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace ezedudu {

// One status line on stderr, rewritten in place: which picture of the batch is
// under way and how far its conversion has come. Silent unless enabled, which
// the caller does only when stderr is a terminal.
class ProgressMeter : public ConversionObserver {
public:
    ProgressMeter(bool showOnStderr, std::size_t pictures);
    ~ProgressMeter() override;

    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    void StartPicture(std::size_t index, const std::string& name);
    void CellRowDone(std::int64_t value, std::int64_t maximum) override;
    // Clears the line so that a message can follow on a clean one.
    void Clear();

private:
    void Show(const std::string& text);

    using Clock = std::chrono::steady_clock;

    bool enabled;
    std::size_t pictureCount;
    std::string pictureLabel;
    int shownPercent = -1;
    bool lineShown = false;
    Clock::time_point lastShown;
};

// True when stderr is an interactive terminal.
bool StderrIsTerminal();

} // namespace ezedudu
