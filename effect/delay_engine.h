// One mono delay line read by four taps, fed by the line-input stage, and the
// stereo mix of the taps with the dry input.
#pragma once

#include <cstdint>
#include <memory>

#include "effect/frame_lanes.h"
#include "effect/line_input_stage.h"
#include "effect/tap_settings.h"
#include "effect/varnolet_parameters.h"

namespace varnolet {

class DelayEngine {
public:
    // The line holds two seconds; no rate may ask for more than two seconds
    // at 768 kHz.
    static constexpr float kMaxSampleRate = 768000.0f;

    static int32_t lineLengthFor(float sampleRate);

    // Builds a cleared line of two seconds at the given rate and clears the
    // filter. When memory runs out, std::bad_alloc leaves the engine as it was.
    void allocate(float sampleRate);

    // One block. The parameters are the current program's native values,
    // read once for the block; outputs may be the input arrays.
    void process(const float* parameters, float sampleRate, const float* in0, const float* in1,
                 float* out0, float* out1, int32_t frames, bool accumulate) {
        process(parameters, kUnknownEdition, sampleRate, in0, in1, out0, out1, frames,
                accumulate);
    }
    // The same for a caller that numbers the editions of its parameter copy:
    // a block that brings the edition of the block before is known to bring
    // its values, and they are not compared again. kUnknownEdition says
    // nothing, and the values are compared.
    static constexpr uint32_t kUnknownEdition = 0;
    void process(const float* parameters, uint32_t edition, float sampleRate, const float* in0,
                 const float* in1, float* out0, float* out1, int32_t frames, bool accumulate) {
        if (!delayLine || frames <= 0) return;
        const Preparation& p = preparedFor(parameters, edition, sampleRate);
        // A block of one frame, which some hosts send while automating, costs
        // little more than its frame only when nothing else stands around it:
        // this dispatch is written out in the caller, and the frame goes to a
        // function of its own that calls nothing.
        if (frames == 1) {
            if (accumulate) oneFrameBlock<true>(p, in0, in1, out0, out1);
            else oneFrameBlock<false>(p, in0, in1, out0, out1);
        } else {
            frameBlock(p, in0, in1, out0, out1, frames, accumulate);
        }
    }

    float allocatedRate() const { return lineRate; }
    int32_t delayLength() const { return delayLength_; }
    int32_t writeIndex() const { return writeIndex_; }
    float filterLow() const { return filterLow_; }
    float filterHigh() const { return filterHigh_; }
    float filterBand() const { return filterBand_; }

private:
    struct Preparation {
        float parameters[kNumParameters];
        uint32_t edition = kUnknownEdition;
        float sampleRate = 0.0f;
        int32_t lineLength = -1;
        TapSettings taps;
        FrameCoefficients frame;
        FilterCoefficients filter;
        // Whether the work outside the recursion may run ahead of it.
        bool ahead;
    };

    // The sines and powers cost more than a short block of frames; they are
    // only worked out again when something they depend on has changed. A
    // block that brings the edition of the values prepared is known to bring
    // those values.
    const Preparation& preparedFor(const float* parameters, uint32_t edition, float sampleRate) {
        if (edition != kUnknownEdition && edition == prepared.edition &&
            prepared.lineLength == delayLength_ && prepared.sampleRate == sampleRate)
            return prepared;
        return prepare(parameters, edition, sampleRate);
    }
    const Preparation& prepare(const float* parameters, uint32_t edition, float sampleRate);
    // Stores the filter's state at the end of a block.
    void keepState(const FilterState& state);
    template <bool Accumulate>
    void oneFrameBlock(const Preparation& p, const float* in0, const float* in1, float* out0,
                       float* out1);
    void frameBlock(const Preparation& p, const float* in0, const float* in1, float* out0,
                    float* out1, int32_t frames, bool accumulate);
    template <bool Accumulate>
    void run(const Preparation& p, FilterState& state, const float* in0, const float* in1,
             float* out0, float* out1, int32_t frames);
    template <bool Accumulate>
    void runShort(const Preparation& p, FilterState& state, const float* in0, const float* in1,
                  float* out0, float* out1, int32_t frames);

    std::unique_ptr<float[]> delayLine;
    int32_t delayLength_ = 0;
    int32_t writeIndex_ = 0;
    float filterLow_ = 0.0f;
    float filterHigh_ = 0.0f;
    float filterBand_ = 0.0f;
    float lineRate = 0.0f;
    Preparation prepared{};
    LineInputMemory lineInputMemory;
};

}  // namespace varnolet
