// The per-block values of the four taps and the mix: where each tap reads,
// how much it feeds back and how it is panned.
#pragma once

#include <cstdint>

#include "core/varnolet_parameters.h"

namespace varnolet {

struct TapSettings {
    int32_t delay[kNumTaps];  // in whole samples, always within 0..line length
    float feedback[kNumTaps];
    float left[kNumTaps];
    float right[kNumTaps];
    float wet;
    float dry;
};

TapSettings prepareTaps(const float* parameters, float sampleRate, int32_t lineLength);

}  // namespace varnolet
