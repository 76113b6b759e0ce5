#include "effect/delay_engine.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace varnolet {

int32_t DelayEngine::lineLengthFor(float sampleRate) {
    double rate = sampleRate;
    if (!(rate > 0.0)) rate = 0.0;
    if (rate > kMaxSampleRate) rate = kMaxSampleRate;
    const int32_t length = static_cast<int32_t>(2.0 * rate);
    return length > 0 ? length : 1;
}

void DelayEngine::allocate(float sampleRate) {
    const int32_t length = lineLengthFor(sampleRate);
    std::unique_ptr<float[]> line(new float[static_cast<size_t>(length)]());
    delayLine = std::move(line);
    delayLength = length;
    lineRate = sampleRate;
    writeIndex = 0;
    filterLow = filterHigh = filterBand = 0.0f;
    prepared.lineLength = -1;
}

const DelayEngine::Preparation& DelayEngine::prepare(const float* parameters, float sampleRate) {
    // The sines and powers cost more than a short block of frames; they are
    // only worked out again when something they depend on has changed.
    if (prepared.lineLength == delayLength && prepared.sampleRate == sampleRate &&
        std::memcmp(prepared.parameters, parameters, sizeof prepared.parameters) == 0)
        return prepared;
    std::memcpy(prepared.parameters, parameters, sizeof prepared.parameters);
    prepared.sampleRate = sampleRate;
    prepared.lineLength = delayLength;
    prepared.taps = prepareTaps(parameters, sampleRate, delayLength);
    prepared.stage = prepareLineInput(parameters, sampleRate);
    return prepared;
}

void DelayEngine::process(const float* parameters, float sampleRate, const float* in0,
                          const float* in1, float* out0, float* out1, int32_t frames,
                          bool accumulate) {
    if (!delayLine || frames <= 0) return;
    const Preparation& p = prepare(parameters, sampleRate);
    if (accumulate) run<true>(p, in0, in1, out0, out1, frames);
    else run<false>(p, in0, in1, out0, out1, frames);
}

template <bool Accumulate>
void DelayEngine::run(const Preparation& p, const float* in0, const float* in1, float* out0,
                      float* out1, int32_t frames) {
    float* const line = delayLine.get();
    const int32_t L = delayLength;
    const TapSettings& t = p.taps;
    const LineInputCoefficients& c = p.stage;

    const double g1 = t.feedback[0], g2 = t.feedback[1], g3 = t.feedback[2], g4 = t.feedback[3];
    const double left1 = t.left[0], left2 = t.left[1], left3 = t.left[2], left4 = t.left[3];
    const double right1 = t.right[0], right2 = t.right[1], right3 = t.right[2],
                 right4 = t.right[3];
    const double wet = t.wet, dry = t.dry;
    const double f = c.f, q = c.q, drive = c.drive, outputGain = c.outputGain;
    const double wThru = c.wThru, wLow = c.wLow, wBand = c.wBand, wHigh = c.wHigh;

    double low = filterLow, band = filterBand, high = filterHigh;
    int32_t w = writeIndex;
    // Each tap reads the slot written D frames ago; a delay of 0 reads the
    // slot about to be overwritten, the oldest one.
    auto readIndex = [&](int32_t delay) {
        int32_t r = w + (L - delay);
        return r >= L ? r - L : r;
    };
    int32_t r1 = readIndex(t.delay[0]), r2 = readIndex(t.delay[1]), r3 = readIndex(t.delay[2]),
            r4 = readIndex(t.delay[3]);

    for (int32_t i = 0; i < frames; ++i) {
        const double a = in0[i], b = in1[i];
        double previous0 = 0.0, previous1 = 0.0;
        if (Accumulate) {
            previous0 = out0[i];
            previous1 = out1[i];
        }
        const double tap1 = line[r1], tap2 = line[r2], tap3 = line[r3], tap4 = line[r4];

        // One bad input sample must not enter the feedback loop for good.
        double mono = 0.5 * (a + b);
        if (!(std::fabs(mono) <= DBL_MAX)) mono = 0.0;
        const double x = mono + g4 * tap4 + g3 * tap3 + g2 * tap2 + g1 * tap1;

        const double s = softClip(x * drive) * outputGain;
        low = low + f * band;
        high = s - low - q * band;
        band = band + f * high;
        line[w] = static_cast<float>(wThru * s + wHigh * high + wBand * band + wLow * low);

        const double wetLeft = left4 * tap4 + left3 * tap3 + left2 * tap2 + left1 * tap1;
        const double wetRight = right4 * tap4 + right3 * tap3 + right2 * tap2 + right1 * tap1;
        if (Accumulate) {
            out0[i] = static_cast<float>(wet * wetLeft + previous0 + dry * a);
            out1[i] = static_cast<float>(wet * wetRight + previous1 + dry * b);
        } else {
            out0[i] = static_cast<float>(wet * wetLeft + dry * a);
            out1[i] = static_cast<float>(wet * wetRight + dry * b);
        }

        if (++w == L) w = 0;
        if (++r1 == L) r1 = 0;
        if (++r2 == L) r2 = 0;
        if (++r3 == L) r3 = 0;
        if (++r4 == L) r4 = 0;
    }

    writeIndex = w;
    filterLow = static_cast<float>(low);
    filterBand = static_cast<float>(band);
    filterHigh = static_cast<float>(high);
    // An undamped filter can only grow slowly, but should its state ever stop
    // being a number, it starts again from rest rather than staying silent.
    if (!std::isfinite(filterLow) || !std::isfinite(filterBand) || !std::isfinite(filterHigh))
        filterLow = filterBand = filterHigh = 0.0f;
}

}  // namespace varnolet
