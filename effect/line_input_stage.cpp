#include "effect/line_input_stage.h"

#include <algorithm>

#include "effect/varnolet_parameters.h"
#include "numeric/portable_math.h"

namespace varnolet {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kSweepBase = 62.5;
constexpr double kSweepOctaves = 7.0;
constexpr double kCeilingOfF = 0.25;
constexpr double kCeilingOfQ = 2.0;
constexpr double kDriveSlope = static_cast<double>(1.3636364f);
constexpr double kOutputGainFloor = 0.125;
}  // namespace

LineInputCoefficients prepareLineInput(const float* parameters, float sampleRate) {
    LineInputMemory memory;
    return prepareLineInput(parameters, sampleRate, memory);
}

LineInputCoefficients prepareLineInput(const float* parameters, float sampleRate,
                                       LineInputMemory& memory) {
    const double rate = sampleRate;
    const double sweep = parameters[kFilterSweep];
    LineInputCoefficients c{};

    const double sweepFactor = memory.sweep(kSweepOctaves * sweep, portable_math::exp2);
    double fc = (kSweepBase * sweepFactor - kSweepBase) +
                static_cast<double>(parameters[kFilterCutoff]);
    // Past half the rate the sine would fall back toward 0 and below, and the
    // filter would stop being stable; at half the rate f sits at its ceiling.
    fc = std::min(fc, 0.5 * rate);
    double f = 2.0 * memory.sine(kPi * fc / rate, portable_math::sin);
    if (f > kCeilingOfF) f = kCeilingOfF;
    c.f = static_cast<float>(f);

    const double qRaw = 2.0 * (1.0 - memory.damping(parameters[kFilterQ], [](double v) {
                                   return portable_math::pow(v, 0.25);
                               }));
    const double qLimit = std::min(kCeilingOfQ, 2.0 / f - f / 2.0);
    c.q = static_cast<float>(qRaw > qLimit ? qLimit : qRaw);

    // Through, low, band and high run in a circle: 4 is through again.
    const double t = parameters[kFilterType];
    if (t < 1.0) {
        c.wThru = static_cast<float>(1.0 - t);
        c.wLow = static_cast<float>(t);
    } else if (t < 2.0) {
        c.wLow = static_cast<float>(2.0 - t);
        c.wBand = static_cast<float>(t - 1.0);
    } else if (t < 3.0) {
        c.wBand = static_cast<float>(3.0 - t);
        c.wHigh = static_cast<float>(t - 2.0);
    } else {
        c.wHigh = static_cast<float>(4.0 - t);
        c.wThru = static_cast<float>(t - 3.0);
    }

    c.drive = static_cast<float>(1.0 + static_cast<double>(parameters[kSaturation]) * kDriveSlope);
    const double gain = 1.0 / static_cast<double>(c.drive);
    c.outputGain = static_cast<float>(gain < kOutputGainFloor ? kOutputGainFloor : gain);
    return c;
}

}  // namespace varnolet
