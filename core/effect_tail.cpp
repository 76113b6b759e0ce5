#include "core/effect_tail.h"

#include <algorithm>
#include <cmath>

#include "core/delay_engine.h"
#include "core/line_input_stage.h"
#include "core/tap_settings.h"

namespace varnolet {

namespace {

// Where a ringing counts as over: -100 dBFS.
constexpr double kQuiet = 1e-5;

// Frames the filter's state takes to fall from its highest below kQuiet once
// its input is silent; infinite when it does not decay. Without input the
// state (low, band) steps by the matrix [[1, f], [-f, 1 - f² - fq]], so it
// shrinks each frame by the larger magnitude of that matrix's eigenvalues.
double ringingFrames(const LineInputCoefficients& c) {
    const double f = c.f, q = c.q;
    const double trace = 2.0 - f * f - f * q;
    const double determinant = 1.0 - f * q;
    const double discriminant = trace * trace - 4.0 * determinant;
    double radius;
    if (discriminant < 0.0) {
        radius = std::sqrt(determinant);
    } else {
        const double root = std::sqrt(discriminant);
        radius = std::max(std::fabs(trace + root), std::fabs(trace - root)) / 2.0;
    }
    if (!(radius < 1.0)) return INFINITY;
    if (!(radius > 0.0)) return 1.0;
    // The clipped sample that enters is at most 1, and no output of the filter
    // rises above about 1/q times it; twice that leaves a margin.
    const double highest = 1.0 + 2.0 / q;
    return std::ceil(std::log(kQuiet / highest) / std::log(radius));
}

}  // namespace

uint32_t tailFrames(const float (&values)[kNumParameters], double sampleRate) {
    const float rate = static_cast<float>(sampleRate);
    const int32_t line = DelayEngine::lineLengthFor(rate);
    const TapSettings taps = prepareTaps(values, rate, line);
    double longest = 0.0;
    for (int32_t tap = 0; tap < kNumTaps; ++tap) {
        // Any feedback at all sends every echo round the loop again, through a
        // filter whose gain may exceed 1.
        if (taps.feedback[tap] != 0.0f) return kEndlessTail;
        longest = std::max<double>(longest, taps.delay[tap] == 0 ? line : taps.delay[tap]);
    }
    // What the filter rings on after the input stops enters the line then
    // and comes out of the taps up to the longest delay later.
    const double frames = longest + ringingFrames(prepareLineInput(values, rate));
    return frames < static_cast<double>(kEndlessTail) ? static_cast<uint32_t>(frames) : kEndlessTail;
}

}  // namespace varnolet
