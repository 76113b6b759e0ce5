#include "effect/delay_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effect/frame_lanes.h"

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
    delayLine.reset(new float[static_cast<size_t>(length)]());
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
    prepared.stage = prepareLineInput(parameters, sampleRate, lineInputMemory);
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

    const FrameCoefficients k{t.feedback[0], t.feedback[1], t.feedback[2], t.feedback[3],
                              t.left[0],     t.left[1],     t.left[2],     t.left[3],
                              t.right[0],    t.right[1],    t.right[2],    t.right[3],
                              t.wet,         t.dry,         c.drive,       c.outputGain};
    const double f = c.f, q = c.q;
    const double wThru = c.wThru, wLow = c.wLow, wBand = c.wBand, wHigh = c.wHigh;

    double low = filterLow, band = filterBand, high = filterHigh;
    int32_t w = writeIndex;
    // Each tap reads the slot written D frames ago; a delay of 0 reads the
    // slot about to be overwritten, the oldest one.
    int32_t read[kNumTaps];
    // Two frames can share their reads only when neither reads what the
    // other writes: every tap must reach back at least two frames.
    bool framesInPairs = L >= 2;
    for (int32_t tap = 0; tap < kNumTaps; ++tap) {
        read[tap] = w + (L - t.delay[tap]);
        if (read[tap] >= L) read[tap] -= L;
        if (t.delay[tap] == 1) framesInPairs = false;
    }

    // The frames run in stretches in which no position reaches the end of
    // the line, so that one counter steps every position at once.
    for (int32_t done = 0; done < frames;) {
        int32_t stretch = std::min(frames - done, L - w);
        for (int32_t tap = 0; tap < kNumTaps; ++tap) stretch = std::min(stretch, L - read[tap]);
        const float* const line1 = line + read[0];
        const float* const line2 = line + read[1];
        const float* const line3 = line + read[2];
        const float* const line4 = line + read[3];
        float* const lineIn = line + w;
        const float* const inLeft = in0 + done;
        const float* const inRight = in1 + done;
        float* const outLeft = out0 + done;
        float* const outRight = out1 + done;

        // The filter's recursion is the one thing that must go frame by frame.
        auto filter = [&](double s, int32_t j) {
            low = low + f * band;
            high = s - low - q * band;
            band = band + f * high;
            lineIn[j] = static_cast<float>(wThru * s + wHigh * high + wBand * band + wLow * low);
        };

        int32_t j = 0;
        if (framesInPairs) {
            for (; j + 2 <= stretch; j += 2) {
                const Pair s = frameOutsideTheFilter<Pair, Accumulate>(
                    k, inLeft + j, inRight + j, line1 + j, line2 + j, line3 + j, line4 + j,
                    outLeft + j, outRight + j);
                filter(s[0], j);
                filter(s[1], j + 1);
            }
        }
        for (; j < stretch; ++j)
            filter(frameOutsideTheFilter<double, Accumulate>(k, inLeft + j, inRight + j,
                                                             line1 + j, line2 + j, line3 + j,
                                                             line4 + j, outLeft + j, outRight + j),
                   j);

        done += stretch;
        w += stretch;
        if (w == L) w = 0;
        for (int32_t tap = 0; tap < kNumTaps; ++tap) {
            read[tap] += stretch;
            if (read[tap] == L) read[tap] = 0;
        }
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
