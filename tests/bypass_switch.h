// Measures what a host hears when it switches a plug-in's bypass on a steady
// tone: each channel's largest step from one frame to the next around a
// switch, against the steps the two signals switched between take on their
// own.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace bypass_switch {

// A fade must have landed this long after a switch (a few milliseconds).
constexpr double kLandedAfterSeconds = 0.010;

// A sine of 437 Hz, whose period no tap time of whole milliseconds holds a
// whole number of times: the echoes are out of phase with the input.
inline std::vector<float> steadyTone(size_t frames, double rate, float amplitude = 0.5f) {
    std::vector<float> tone(frames);
    for (size_t i = 0; i < frames; ++i)
        tone[i] = amplitude * static_cast<float>(std::sin(2.0 * 3.141592653589793 * 437.0 *
                                                          static_cast<double>(i) / rate));
    return tone;
}

// Equal to the bit from `from` up to `to`.
inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b, size_t from, size_t to) {
    return std::memcmp(a.data() + from, b.data() + from, (to - from) * sizeof(float)) == 0;
}

// The largest |x[i] - x[i-1]| for i in (from, to).
inline float largestStep(const std::vector<float>& x, size_t from, size_t to) {
    float largest = 0.0f;
    for (size_t i = from + 1; i < to && i < x.size(); ++i)
        largest = std::max(largest, std::fabs(x[i] - x[i - 1]));
    return largest;
}

inline float largestDifference(const std::vector<float>& a, const std::vector<float>& b,
                               size_t from, size_t to) {
    float largest = 0.0f;
    for (size_t i = from; i < to && i < a.size() && i < b.size(); ++i)
        largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

// Where in [from, to) the two differ most: a switch without a fade there
// would jump by the whole difference.
inline size_t widestGap(const std::vector<float>& a, const std::vector<float>& b, size_t from,
                        size_t to) {
    size_t at = from;
    for (size_t i = from; i < to; ++i)
        if (std::fabs(a[i] - b[i]) > std::fabs(a[at] - b[at])) at = i;
    return at;
}

// The largest step a click-free switch at `at` between signals `before` and
// `after` may take within `span` frames: the larger of the two signals' own
// largest steps, plus 2 % of the largest difference between them. A linear
// fade over 5 ms at 48 kHz adds at most 1/240 (0.4 %) of that difference
// each frame; a switch without one adds all of it at once.
inline float clickFreeBound(const std::vector<float>& before, const std::vector<float>& after,
                            size_t at, size_t span) {
    const size_t from = at > span ? at - span : 0;
    const float own = std::max(largestStep(before, from, at + span), largestStep(after, from, at + span));
    return own + 0.02f * largestDifference(before, after, from, at + span);
}

}  // namespace bypass_switch
