#include "core/bypass_crossfade.h"

#include <cmath>

namespace varnolet {

void BypassCrossfade::setSampleRate(double rate) {
    const double frames = std::floor(rate * kFadeSeconds + 0.5);
    // The rate is one the line was made for: at most 768 kHz.
    length = frames >= 1.0 ? static_cast<uint32_t>(frames) : 1u;
    finish();
}

void BypassCrossfade::mix(const float* inLeft, const float* inRight, float* effectLeft,
                          float* effectRight, uint32_t frames) {
    const float whole = static_cast<float>(length);
    for (uint32_t i = 0; i < frames; ++i) {
        if (target) {
            if (position > 0) --position;
        } else if (position < length) {
            ++position;
        }
        const float wet = static_cast<float>(position) / whole;
        const float dry = 1.0f - wet;
        effectLeft[i] = effectLeft[i] * wet + inLeft[i] * dry;
        effectRight[i] = effectRight[i] * wet + inRight[i] * dry;
    }
}

}  // namespace varnolet
