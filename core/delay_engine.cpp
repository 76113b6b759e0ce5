#include "core/delay_engine.h"

#include <algorithm>
#include <cmath>

#include "core/plain_frame_arithmetic.h"

namespace varnolet {

namespace {

// Everything the taps' positions, gains and the mix are made of.
constexpr ParameterChanges kTapInputs =
    ((changedBit(kWetDryMix) << 1) - 1) | changedBit(kMasterFeedback) | kRateChanged |
    kLineChanged;

}  // namespace

int32_t DelayEngine::lineLengthFor(float sampleRate) {
    double rate = sampleRate;
    if (!(rate > 0.0)) rate = 0.0;
    if (rate > kMaxSampleRate) rate = kMaxSampleRate;
    const int32_t length = static_cast<int32_t>(2.0 * rate);
    return length > 0 ? length : 1;
}

DelayEngine::DelayEngine() {
    for (int32_t i = 0; i < kNumParameters; ++i) values[i] = kParameters[i].defaultValue;
}

void DelayEngine::allocate(float rate) {
    const int32_t length = lineLengthFor(rate);
    delayLine.reset(new float[static_cast<size_t>(length)]());
    delayLength_ = length;
    lineRate = rate;
    writeIndex_ = 0;
    filterLow_ = filterHigh_ = filterBand_ = 0.0f;
    changed |= kLineChanged;
}

void DelayEngine::clear() {
    if (delayLine) std::fill(delayLine.get(), delayLine.get() + delayLength_, 0.0f);
    writeIndex_ = 0;
    filterLow_ = filterHigh_ = filterBand_ = 0.0f;
}

void DelayEngine::prepare() {
    const ParameterChanges now = changed;
    changed = 0;

    if (now & kTapInputs) {
        taps = prepareTaps(values, sampleRate, delayLength_);
        // A delay of 0 or of the whole line reads the slot about to be
        // overwritten, which no frame of the block has written yet however far
        // ahead the work runs.
        int32_t nearest = delayLength_;
        for (int32_t tap = 0; tap < kNumTaps; ++tap)
            if (taps.delay[tap] >= 1) nearest = std::min(nearest, taps.delay[tap]);
        ahead = nearest >= kNearestTapForLead;
    }
    const LineInputCoefficients& stage = lineInput.update(values, sampleRate, now);

    const TapSettings& t = taps;
    frame = FrameCoefficients{t.feedback[0], t.feedback[1], t.feedback[2], t.feedback[3],
                              t.left[0],     t.left[1],     t.left[2],     t.left[3],
                              t.right[0],    t.right[1],    t.right[2],    t.right[3],
                              t.wet,         t.dry,         stage.drive,   stage.outputGain};
    filter = FilterCoefficients{stage.f, stage.q, stage.wThru, stage.wLow, stage.wBand, stage.wHigh};
}

namespace {

// Each tap reads the slot written D frames before the write position w; a
// delay of 0 reads the slot about to be overwritten, the oldest one.
inline void readPositions(const TapSettings& taps, int32_t w, int32_t L, int32_t read[kNumTaps]) {
    for (int32_t tap = 0; tap < kNumTaps; ++tap) {
        read[tap] = w - taps.delay[tap];
        if (read[tap] < 0) read[tap] += L;
    }
}

}  // namespace

inline void DelayEngine::keepState(const FilterState& state) {
    filterLow_ = static_cast<float>(state.low);
    filterBand_ = static_cast<float>(state.band);
    filterHigh_ = static_cast<float>(state.high);
    // Nothing finite that enters through the clipper can make the state
    // non-finite in any time a host will run (undamped, it grows no faster
    // than linearly), so this is a last resort: should the state ever stop
    // being a number, the filter starts again from rest rather than staying
    // silent. It looks once per block, where it costs nothing per frame, and
    // at the state as stored: rounding to a float is where a double too large
    // for one becomes infinite.
    if (!std::isfinite(filterLow_) || !std::isfinite(filterBand_) || !std::isfinite(filterHigh_))
        filterLow_ = filterBand_ = filterHigh_ = 0.0f;
}

// The frame of a block of one, in one straight line with the filter's state
// in registers and its coefficients read where the preparation left them:
// loading them all into registers first, as a stretch of frames does, would
// cost more than the frame. It calls nothing, so that it needs no registers
// saved. The frame does exactly what it does in a stretch, so the bits are the
// same.
template <bool Accumulate>
void DelayEngine::oneFrameBlock(const float* in0, const float* in1, float* out0, float* out1) {
    float* const line = delayLine.get();
    const int32_t w = writeIndex_;
    int32_t read[kNumTaps];
    readPositions(taps, w, delayLength_, read);
    const FrameStreams at{in0,            in1,            line + read[0], line + read[1],
                          line + read[2], line + read[3], out0,           out1,
                          line + w};
    plain::FilterRecursion recursion(filter, FilterState{filterLow_, filterBand_, filterHigh_},
                                     line);
    recursion.step(plain::frameOutsideTheFilter<double, Accumulate>(frame, at, 0), w);
    writeIndex_ = w + 1 == delayLength_ ? 0 : w + 1;
    keepState(recursion.state());
}
template void DelayEngine::oneFrameBlock<false>(const float*, const float*, float*, float*);
template void DelayEngine::oneFrameBlock<true>(const float*, const float*, float*, float*);

template <bool Accumulate>
void DelayEngine::frameBlock(const float* in0, const float* in1, float* out0, float* out1,
                             int32_t frames) {
    float* const line = delayLine.get();
    const int32_t L = delayLength_;
    FilterState state{filterLow_, filterBand_, filterHigh_};

    int32_t w = writeIndex_;
    int32_t read[kNumTaps];
    readPositions(taps, w, L, read);

    // The frames run in stretches in which no position reaches the end of
    // the line, so that one counter steps every position at once.
    for (int32_t done = 0; done < frames;) {
        int32_t stretch = std::min(frames - done, L - w);
        for (int32_t tap = 0; tap < kNumTaps; ++tap) stretch = std::min(stretch, L - read[tap]);
        const FrameStreams at{in0 + done,     in1 + done,     line + read[0], line + read[1],
                              line + read[2], line + read[3], out0 + done,    out1 + done,
                              line + w};
        if (ahead && stretch >= kNearestTapForLead) {
            const FrameLanes& lanes = frameLanes();
            (Accumulate ? lanes.accumulating : lanes.replacing)(frame, filter, state, at, stretch);
        } else {
            plain::framesOneByOne<Accumulate>(frame, filter, state, at, stretch);
        }

        done += stretch;
        w += stretch;
        if (w == L) w = 0;
        for (int32_t tap = 0; tap < kNumTaps; ++tap) {
            read[tap] += stretch;
            if (read[tap] == L) read[tap] = 0;
        }
    }

    writeIndex_ = w;
    keepState(state);
}
template void DelayEngine::frameBlock<false>(const float*, const float*, float*, float*, int32_t);
template void DelayEngine::frameBlock<true>(const float*, const float*, float*, float*, int32_t);

}  // namespace varnolet
