#include "host/tool/reports/progress_bar.h"

#include <cstdio>

#include <unistd.h>

ProgressBar::ProgressBar(std::string name, double rate)
    : label(std::move(name)), sampleRate(rate), shown(isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update(size_t done, size_t total) {
    if (!shown) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn && now - lastDraw < std::chrono::milliseconds(100)) return;
    lastDraw = now;
    drawn = true;
    const double seconds = static_cast<double>(done) / sampleRate;
    if (total == 0) {
        // An automatic tail, or an input whose length shows only at its end.
        std::fprintf(stderr, "\r%s: %.1f s so far...\033[K", label.c_str(), seconds);
    } else {
        constexpr int kWidth = 40;
        const double fraction = done >= total ? 1.0 : static_cast<double>(done) / total;
        const int filled = static_cast<int>(fraction * kWidth);
        std::fprintf(stderr, "\r%s [%s%s] %3d%% %.1f s\033[K", label.c_str(),
                     std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kWidth - filled), ' ').c_str(),
                     static_cast<int>(fraction * 100.0), seconds);
    }
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (!shown || !drawn) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn = false;
}
