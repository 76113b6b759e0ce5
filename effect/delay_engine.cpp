#include "effect/delay_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effect/plain_frame_arithmetic.h"

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
    delayLength_ = length;
    lineRate = sampleRate;
    writeIndex_ = 0;
    filterLow_ = filterHigh_ = filterBand_ = 0.0f;
    prepared.lineLength = -1;
}

namespace {

// Whether two snapshots hold the same bits, compared a word at a time with no
// branch per word, which the compiler turns into a few vector instructions: a
// block of one frame cannot afford a call to a general comparison.
bool sameBits(const float* a, const float* b) {
    uint32_t difference = 0;
    for (int32_t i = 0; i < kNumParameters; ++i) {
        uint32_t x, y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        difference |= x ^ y;
    }
    return difference == 0;
}

}  // namespace

const DelayEngine::Preparation& DelayEngine::prepare(const float* parameters, uint32_t edition,
                                                     float sampleRate) {
    if (prepared.lineLength == delayLength_ && prepared.sampleRate == sampleRate &&
        sameBits(prepared.parameters, parameters)) {
        prepared.edition = edition;
        return prepared;
    }
    Preparation& p = prepared;
    p.edition = edition;
    std::memcpy(p.parameters, parameters, sizeof p.parameters);
    p.sampleRate = sampleRate;
    p.lineLength = delayLength_;
    p.taps = prepareTaps(parameters, sampleRate, delayLength_);
    const LineInputCoefficients stage = prepareLineInput(parameters, sampleRate, lineInputMemory);

    const TapSettings& t = p.taps;
    p.frame = FrameCoefficients{t.feedback[0], t.feedback[1], t.feedback[2], t.feedback[3],
                                t.left[0],     t.left[1],     t.left[2],     t.left[3],
                                t.right[0],    t.right[1],    t.right[2],    t.right[3],
                                t.wet,         t.dry,         stage.drive,   stage.outputGain};
    p.filter = FilterCoefficients{stage.f,     stage.q,     stage.wThru,
                                  stage.wLow,  stage.wBand, stage.wHigh};

    // The work outside the recursion may run ahead of it only when every tap
    // reaches back far enough for that. A delay of 0 or of the whole line
    // reads the slot about to be overwritten, which no frame of the block has
    // written yet however far ahead the work runs.
    int32_t nearest = delayLength_;
    for (int32_t tap = 0; tap < kNumTaps; ++tap)
        if (t.delay[tap] >= 1) nearest = std::min(nearest, t.delay[tap]);
    p.ahead = nearest >= kNearestTapForLead;
    return p;
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

// Where the frame at write position w reads and writes, for a path that goes
// frame by frame.
inline FrameStreams streamsOfFrame(const TapSettings& taps, float* line, int32_t w, int32_t L,
                                   const float* in0, const float* in1, float* out0, float* out1) {
    int32_t read[kNumTaps];
    readPositions(taps, w, L, read);
    return FrameStreams{in0,            in1,            line + read[0], line + read[1],
                        line + read[2], line + read[3], out0,           out1,
                        line + w};
}

// One frame of a short block, reading its coefficients where the preparation
// left them: for a block of a frame or a few, loading them all into registers
// beforehand, as a long stretch does, would cost more than the frames
// themselves. Kept out of line so that the compiler cannot hoist those loads
// out of the caller's loop. Every frame does exactly what it does in a
// stretch, so the bits are the same.
template <bool Accumulate>
__attribute__((noinline)) void oneFrame(const FrameCoefficients& c,
                                        const FilterCoefficients& filter, FilterState& state,
                                        const FrameStreams& at, int32_t lineIndex) {
    plain::FilterRecursion recursion(filter, state, at.lineIn - lineIndex);
    recursion.step(plain::frameOutsideTheFilter<double, Accumulate>(c, at, 0), lineIndex);
    state = recursion.state();
}

}  // namespace

// The frame of a block of one, in one straight line with the filter's state
// in registers, its coefficients read where the preparation left them. It
// calls nothing, so that it needs no registers saved.
template <bool Accumulate>
void DelayEngine::oneFrameBlock(const Preparation& p, const float* in0, const float* in1,
                                float* out0, float* out1) {
    float* const line = delayLine.get();
    const int32_t w = writeIndex_;
    const FrameStreams at = streamsOfFrame(p.taps, line, w, delayLength_, in0, in1, out0, out1);
    plain::FilterRecursion recursion(p.filter, FilterState{filterLow_, filterBand_, filterHigh_},
                                     line);
    recursion.step(plain::frameOutsideTheFilter<double, Accumulate>(p.frame, at, 0), w);
    writeIndex_ = w + 1 == delayLength_ ? 0 : w + 1;
    keepState(recursion.state());
}
template void DelayEngine::oneFrameBlock<false>(const Preparation&, const float*, const float*,
                                                float*, float*);
template void DelayEngine::oneFrameBlock<true>(const Preparation&, const float*, const float*,
                                               float*, float*);

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

void DelayEngine::frameBlock(const Preparation& p, const float* in0, const float* in1,
                             float* out0, float* out1, int32_t frames, bool accumulate) {
    FilterState state{filterLow_, filterBand_, filterHigh_};
    if (frames < kNearestTapForLead) {
        if (accumulate) runShort<true>(p, state, in0, in1, out0, out1, frames);
        else runShort<false>(p, state, in0, in1, out0, out1, frames);
    } else {
        if (accumulate) run<true>(p, state, in0, in1, out0, out1, frames);
        else run<false>(p, state, in0, in1, out0, out1, frames);
    }
    keepState(state);
}

// A block too short to work ahead goes frame by frame, each position stepping
// and wrapping on its own, rather than in stretches.
template <bool Accumulate>
void DelayEngine::runShort(const Preparation& p, FilterState& state, const float* in0,
                           const float* in1, float* out0, float* out1, int32_t frames) {
    float* const line = delayLine.get();
    const int32_t L = delayLength_;
    int32_t w = writeIndex_;
    for (int32_t j = 0; j < frames; ++j) {
        const FrameStreams at =
            streamsOfFrame(p.taps, line, w, L, in0 + j, in1 + j, out0 + j, out1 + j);
        oneFrame<Accumulate>(p.frame, p.filter, state, at, w);
        if (++w == L) w = 0;
    }
    writeIndex_ = w;
}

template <bool Accumulate>
void DelayEngine::run(const Preparation& p, FilterState& state, const float* in0,
                      const float* in1, float* out0, float* out1, int32_t frames) {
    float* const line = delayLine.get();
    const int32_t L = delayLength_;

    int32_t w = writeIndex_;
    int32_t read[kNumTaps];
    readPositions(p.taps, w, L, read);

    // The frames run in stretches in which no position reaches the end of
    // the line, so that one counter steps every position at once.
    for (int32_t done = 0; done < frames;) {
        int32_t stretch = std::min(frames - done, L - w);
        for (int32_t tap = 0; tap < kNumTaps; ++tap) stretch = std::min(stretch, L - read[tap]);
        const FrameStreams at{in0 + done,     in1 + done,     line + read[0], line + read[1],
                              line + read[2], line + read[3], out0 + done,    out1 + done,
                              line + w};
        if (p.ahead && stretch >= kNearestTapForLead) {
            const FrameLanes& lanes = frameLanes();
            (Accumulate ? lanes.accumulating : lanes.replacing)(p.frame, p.filter, state, at,
                                                                stretch);
        } else {
            plain::framesOneByOne<Accumulate>(p.frame, p.filter, state, at, stretch);
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
}

}  // namespace varnolet
