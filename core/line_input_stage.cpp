#include "core/line_input_stage.h"

#include <algorithm>

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

constexpr ParameterChanges kFrequencyInputs =
    changedBit(kFilterCutoff) | changedBit(kFilterSweep) | kRateChanged;
}  // namespace

const LineInputCoefficients& LineInputPreparation::update(const float* parameters,
                                                          float sampleRate,
                                                          ParameterChanges changed) {
    const double rate = sampleRate;

    if (changed & changedBit(kFilterSweep))
        sweepFactor = portable_math::exp2(kSweepOctaves * static_cast<double>(parameters[kFilterSweep]));
    if (changed & kFrequencyInputs) {
        double fc = (kSweepBase * sweepFactor - kSweepBase) +
                    static_cast<double>(parameters[kFilterCutoff]);
        // Past half the rate the sine would fall back toward 0 and below, and
        // the filter would stop being stable; at half the rate f sits at its
        // ceiling.
        fc = std::min(fc, 0.5 * rate);
        fUnrounded = 2.0 * portable_math::sin(kPi * fc / rate);
        if (fUnrounded > kCeilingOfF) fUnrounded = kCeilingOfF;
        c.f = static_cast<float>(fUnrounded);
    }
    if (changed & changedBit(kFilterQ))
        qRaw = 2.0 * (1.0 - portable_math::pow(static_cast<double>(parameters[kFilterQ]), 0.25));
    if (changed & (kFrequencyInputs | changedBit(kFilterQ))) {
        const double qLimit = std::min(kCeilingOfQ, 2.0 / fUnrounded - fUnrounded / 2.0);
        c.q = static_cast<float>(qRaw > qLimit ? qLimit : qRaw);
    }

    if (changed & changedBit(kFilterType)) {
        // Through, low, band and high run in a circle: 4 is through again.
        const double t = parameters[kFilterType];
        c.wThru = c.wLow = c.wBand = c.wHigh = 0.0f;
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
    }

    if (changed & changedBit(kSaturation)) {
        c.drive = static_cast<float>(1.0 + static_cast<double>(parameters[kSaturation]) * kDriveSlope);
        const double gain = 1.0 / static_cast<double>(c.drive);
        c.outputGain = static_cast<float>(gain < kOutputGainFloor ? kOutputGainFloor : gain);
    }
    return c;
}

LineInputCoefficients prepareLineInput(const float* parameters, float sampleRate) {
    LineInputPreparation preparation;
    return preparation.update(parameters, sampleRate, kEverythingChanged);
}

}  // namespace varnolet
