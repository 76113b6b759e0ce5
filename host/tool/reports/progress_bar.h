// A one-line progress bar on standard error, drawn only when that is a
// terminal, so that logs and pipes never see it.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

class ProgressBar {
public:
    ProgressBar(std::string label, double sampleRate);
    ~ProgressBar();

    // total 0 means the end is not known yet.
    void update(size_t done, size_t total);
    void finish();

    bool enabled() const { return shown; }

private:
    std::string label;
    double sampleRate;
    bool shown;
    bool drawn = false;
    std::chrono::steady_clock::time_point lastDraw;
};
