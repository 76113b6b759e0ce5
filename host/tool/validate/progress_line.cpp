#include "host/tool/validate/progress_line.h"

#include <unistd.h>

#include <cstdio>

ProgressLine::ProgressLine() : shown(isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() { clear(); }

void ProgressLine::show(const std::string& text) {
    if (!shown) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn && now - lastDraw < std::chrono::milliseconds(100)) return;
    lastDraw = now;
    drawn = true;
    std::fprintf(stderr, "\r%s\033[K", text.c_str());
    std::fflush(stderr);
}

void ProgressLine::clear() {
    if (!shown || !drawn) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn = false;
}
