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
                 float* out0, float* out1, int32_t frames, bool accumulate);

    float allocatedRate() const { return lineRate; }
    int32_t delayLength() const { return delayLength_; }
    int32_t writeIndex() const { return writeIndex_; }
    float filterLow() const { return filterLow_; }
    float filterHigh() const { return filterHigh_; }
    float filterBand() const { return filterBand_; }

private:
    struct Preparation {
        float parameters[kNumParameters];
        float sampleRate = 0.0f;
        int32_t lineLength = -1;
        TapSettings taps;
        FrameCoefficients frame;
        FilterCoefficients filter;
        // Whether the work outside the recursion may run ahead of it.
        bool ahead;
    };

    const Preparation& prepare(const float* parameters, float sampleRate);
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
