// One line on standard error that a run redraws as it goes, shown only when
// standard error is a terminal, so that logs and pipes never see it.
#pragma once

#include <chrono>
#include <string>

class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();

    void show(const std::string& text);
    void clear();

private:
    bool shown;
    bool drawn = false;
    std::chrono::steady_clock::time_point lastDraw;
};
