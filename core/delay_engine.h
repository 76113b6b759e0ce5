// One mono delay line read by four taps, fed by the line-input stage, and the
// stereo mix of the taps with the dry input.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "core/frame_lanes.h"
#include "core/line_input_stage.h"
#include "core/tap_settings.h"
#include "core/varnolet_parameters.h"

namespace varnolet {

class DelayEngine {
public:
    // The line holds two seconds; no rate may ask for more than two seconds
    // at 768 kHz.
    static constexpr float kMaxSampleRate = 768000.0f;

    static int32_t lineLengthFor(float sampleRate);

    // The table's defaults at 44100 Hz, and no line until allocate().
    DelayEngine();

    // Builds a cleared line of two seconds at the given rate and clears the
    // filter. When memory runs out, std::bad_alloc leaves the engine as it was.
    void allocate(float sampleRate);
    // Silence in the line and a filter at rest, as after allocate().
    void clear();

    // The settings the next block is made with: native values, which the
    // engine takes as they stand. Set by whoever runs the blocks, between
    // them. A value the engine already holds, bit for bit, changes nothing.
    void setParameter(int32_t index, float value) {
        if (index < 0 || index >= kNumParameters || sameBits(values[index], value)) return;
        values[index] = value;
        changed |= changedBit(index);
    }
    void setParameters(const float* all) {
        for (int32_t i = 0; i < kNumParameters; ++i) setParameter(i, all[i]);
    }
    void setSampleRate(float rate) {
        if (sameBits(sampleRate, rate)) return;
        sampleRate = rate;
        changed |= kRateChanged;
    }
    float parameter(int32_t index) const {
        return index >= 0 && index < kNumParameters ? values[index] : 0.0f;
    }

    // One block with the settings as they stand; outputs may be the input
    // arrays. With accumulate set the block adds to what the outputs hold.
    void process(const float* in0, const float* in1, float* out0, float* out1, int32_t frames,
                 bool accumulate) {
        if (!delayLine || frames <= 0) return;
        // The one thing that decides whether the preparation runs: something
        // it depends on has changed since it last ran.
        if (changed) prepare();
        // A block of one frame, which some hosts send while automating, costs
        // little more than its frame only when nothing else stands around it:
        // it goes to a function of its own that calls nothing.
        if (frames == 1) {
            if (accumulate) oneFrameBlock<true>(in0, in1, out0, out1);
            else oneFrameBlock<false>(in0, in1, out0, out1);
        } else {
            if (accumulate) frameBlock<true>(in0, in1, out0, out1, frames);
            else frameBlock<false>(in0, in1, out0, out1, frames);
        }
    }

    float allocatedRate() const { return lineRate; }
    int32_t delayLength() const { return delayLength_; }
    int32_t writeIndex() const { return writeIndex_; }
    float filterLow() const { return filterLow_; }
    float filterHigh() const { return filterHigh_; }
    float filterBand() const { return filterBand_; }

private:
    static bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

    // Works out again what the changed values feed: the taps' positions and
    // gains, the line-input stage, and the frames' coefficients.
    void prepare();
    // Stores the filter's state at the end of a block.
    void keepState(const FilterState& state);
    template <bool Accumulate>
    void oneFrameBlock(const float* in0, const float* in1, float* out0, float* out1);
    template <bool Accumulate>
    void frameBlock(const float* in0, const float* in1, float* out0, float* out1, int32_t frames);

    // The settings.
    float values[kNumParameters];
    float sampleRate = 44100.0f;
    ParameterChanges changed = kEverythingChanged;

    // What the preparation made of them.
    TapSettings taps{};
    LineInputPreparation lineInput;
    FrameCoefficients frame{};
    FilterCoefficients filter{};
    // Whether the work outside the recursion may run ahead of it: every tap
    // reaches back far enough for that.
    bool ahead = false;

    // The line and the filter's state.
    std::unique_ptr<float[]> delayLine;
    int32_t delayLength_ = 0;
    int32_t writeIndex_ = 0;
    float filterLow_ = 0.0f;
    float filterHigh_ = 0.0f;
    float filterBand_ = 0.0f;
    float lineRate = 0.0f;
};

}  // namespace varnolet
