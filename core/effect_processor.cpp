#include "core/effect_processor.h"

#include <algorithm>
#include <cmath>

#include "core/floating_point_mode.h"

namespace varnolet {

bool EffectProcessor::supportsSampleRate(double candidate) {
    return candidate >= kMinSampleRate && candidate <= kMaxSampleRate;
}

void EffectProcessor::setSampleRate(double newRate) {
    const float asFloat = static_cast<float>(newRate);
    if (!engine.delayLength() || engine.allocatedRate() != asFloat) {
        engine.allocate(asFloat);
        hasHistory = false;
    }
    engine.setSampleRate(asFloat);
    rate = newRate;
}

void EffectProcessor::startFromSilence() {
    if (!hasHistory) return;
    engine.clear();
    hasHistory = false;
}

void EffectProcessor::setParameter(int32_t index, float value) {
    if (index < 0 || index >= kNumParameters || std::isnan(value)) return;
    const ParameterDescription& p = kParameters[index];
    engine.setParameter(index, std::min(p.maxValue, std::max(p.minValue, value)));
}

void EffectProcessor::process(const float* inLeft, const float* inRight, float* outLeft,
                              float* outRight, uint32_t frames) {
    if (frames == 0) return;
    ScopedFloatingPointMode mode;
    hasHistory = true;
    if (inLeft && inRight && outLeft && outRight) {
        // The engine counts frames in a signed 32-bit number.
        constexpr uint32_t kLargestBlock = 0x7fffffff;
        for (uint32_t done = 0; done < frames;) {
            const uint32_t block = std::min(frames - done, kLargestBlock);
            engine.process(inLeft + done, inRight + done, outLeft + done, outRight + done,
                           static_cast<int32_t>(block), false);
            done += block;
        }
        return;
    }
    // The line goes on as with a host that passed silence and listened.
    for (uint32_t done = 0; done < frames;) {
        const uint32_t block = std::min(frames - done, kScratchFrames);
        engine.process(inLeft ? inLeft + done : silence, inRight ? inRight + done : silence,
                       outLeft ? outLeft + done : discardedLeft,
                       outRight ? outRight + done : discardedRight, static_cast<int32_t>(block),
                       false);
        done += block;
    }
}

}  // namespace varnolet
