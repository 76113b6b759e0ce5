#include "host/tool/validate/output_contents.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
constexpr uint32_t kUnwritten = 0x7FA5A5A5u;
constexpr uint32_t kQuietBit = 0x00400000u;

uint32_t bitsOf(const float* sample) {
    uint32_t bits;
    std::memcpy(&bits, sample, sizeof bits);
    return bits;
}
}  // namespace

void fillUnwritten(float* samples, size_t frames) {
    for (size_t i = 0; i < frames; ++i) std::memcpy(samples + i, &kUnwritten, sizeof kUnwritten);
}

OutputContents contentsOf(const float* samples, size_t frames) {
    OutputContents found;
    for (size_t i = 0; i < frames; ++i) {
        const uint32_t bits = bitsOf(samples + i);
        if (bits == kUnwritten) {
            if (found.unwritten++ == 0) found.firstUnwritten = i;
            continue;
        }
        if ((bits & 0x7FFFFFFFu) == (kUnwritten | kQuietBit)) {
            ++found.addedTo;
            continue;
        }
        float sample;
        std::memcpy(&sample, &bits, sizeof sample);
        if (!std::isfinite(sample)) {
            if (found.nonFinite++ == 0) found.firstNonFinite = i;
            continue;
        }
        const float magnitude = std::fabs(sample);
        if (magnitude > found.peak) found.peak = magnitude;
    }
    return found;
}
