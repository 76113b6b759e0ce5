// An independent, deliberately plain model of the delay's defined arithmetic:
// the coefficients straight from their formulas, every read position by a
// remainder, the state kept the way the definition keeps it. The plug-in's
// rendered blocks must match it to the bit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "numeric/portable_math.h"

class ReferenceDelay {
public:
    explicit ReferenceDelay(float sampleRate)
        : line(static_cast<size_t>(static_cast<int32_t>(2.0 * sampleRate)), 0.0f) {}

    // p: the 23 native values. Outputs are added to when accumulate is set.
    void block(const float* p, float rate, const float* in0, const float* in1, float* out0,
               float* out1, int32_t frames, bool accumulate = false) {
        const int32_t L = static_cast<int32_t>(line.size());
        const float spm = rate * 0.001f;
        const float master = p[22] * 0.0001f;
        int32_t D[4];
        double g[4], left[4], right[4];
        for (int k = 0; k < 4; ++k) {
            const float samples = p[4 * k] * spm;
            D[k] = std::min(static_cast<int32_t>(samples), L);
            g[k] = static_cast<float>(p[4 * k + 2] * master);
            const double r = (p[4 * k + 1] + 1.0) * 0.5;
            right[k] = static_cast<float>(r * p[4 * k + 3]);
            left[k] = static_cast<float>(p[4 * k + 3] * (1.0 - r));
        }
        const double wet = static_cast<float>(std::min(1.0, 2.0 * p[16]));
        const double dry = static_cast<float>(std::min(1.0, 2.0 - 2.0 * p[16]));

        // The C libraries' sines and powers round differently on each
        // platform; the definition's are the correctly rounded ones.
        const double fc = (62.5 * portable_math::exp2(7.0 * p[20]) - 62.5) + p[17];
        double fd =
            2.0 * portable_math::sin(3.14159265358979323846 * std::min(fc, rate / 2.0) / rate);
        if (fd > 0.25) fd = 0.25;
        const double f = static_cast<float>(fd);
        const double qRaw = 2.0 * (1.0 - portable_math::pow(static_cast<double>(p[18]), 0.25));
        const double qLimit = std::min(2.0, 2.0 / fd - fd / 2.0);
        const double q = static_cast<float>(std::min(qRaw, qLimit));
        const double t = p[19];
        double wThru = 0, wLow = 0, wBand = 0, wHigh = 0;
        if (t < 1) { wThru = static_cast<float>(1 - t); wLow = static_cast<float>(t); }
        else if (t < 2) { wLow = static_cast<float>(2 - t); wBand = static_cast<float>(t - 1); }
        else if (t < 3) { wBand = static_cast<float>(3 - t); wHigh = static_cast<float>(t - 2); }
        else { wHigh = static_cast<float>(4 - t); wThru = static_cast<float>(t - 3); }
        const double drive = static_cast<float>(1.0 + p[21] * static_cast<double>(1.3636364f));
        const double gain = static_cast<float>(std::max(1.0 / drive, 0.125));
        const double cubic = 0.14814815f;

        double low = filterLow, band = filterBand, high = filterHigh;
        for (int32_t i = 0; i < frames; ++i) {
            const double a = in0[i], b = in1[i];
            const double prev0 = out0[i], prev1 = out1[i];
            double tap[4];
            for (int k = 0; k < 4; ++k) tap[k] = line[static_cast<size_t>((w + L - D[k]) % L)];
            double mono = 0.5 * (a + b);
            if (!std::isfinite(mono)) mono = 0.0;
            const double x = mono + g[3] * tap[3] + g[2] * tap[2] + g[1] * tap[1] + g[0] * tap[0];
            const double y = x * drive;
            const double z = y > 1.5 ? 1.0 : y < -1.5 ? -1.0 : y - cubic * (y * y * y);
            const double s = z * gain;
            low = low + f * band;
            high = s - low - q * band;
            band = band + f * high;
            line[static_cast<size_t>(w)] =
                static_cast<float>(wThru * s + wHigh * high + wBand * band + wLow * low);
            const double l = left[3] * tap[3] + left[2] * tap[2] + left[1] * tap[1] + left[0] * tap[0];
            const double r = right[3] * tap[3] + right[2] * tap[2] + right[1] * tap[1] + right[0] * tap[0];
            if (accumulate) {
                out0[i] = static_cast<float>(wet * l + prev0 + dry * a);
                out1[i] = static_cast<float>(wet * r + prev1 + dry * b);
            } else {
                out0[i] = static_cast<float>(wet * l + dry * a);
                out1[i] = static_cast<float>(wet * r + dry * b);
            }
            w = (w + 1) % L;
        }
        if (frames > 0) {
            filterLow = static_cast<float>(low);
            filterBand = static_cast<float>(band);
            filterHigh = static_cast<float>(high);
        }
    }

private:
    std::vector<float> line;
    int32_t w = 0;
    float filterLow = 0, filterBand = 0, filterHigh = 0;
};
