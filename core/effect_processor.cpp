#include "core/effect_processor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    crossfade.setSampleRate(newRate);
    rate = newRate;
}

void EffectProcessor::startFromSilence() {
    crossfade.finish();
    if (!hasHistory) return;
    engine.clear();
    hasHistory = false;
}

void EffectProcessor::setParameter(int32_t index, float value) {
    if (index < 0 || index >= kNumParameters || std::isnan(value)) return;
    const ParameterDescription& p = kParameters[index];
    engine.setParameter(index, std::min(p.maxValue, std::max(p.minValue, value)));
}

void EffectProcessor::setBypassed(bool bypass) {
    crossfade.setBypassed(bypass);
    if (!hasHistory) crossfade.finish();
}

void EffectProcessor::process(const float* inLeft, const float* inRight, float* outLeft,
                              float* outRight, uint32_t frames) {
    if (frames == 0) return;
    ScopedFloatingPointMode mode;
    hasHistory = true;
    for (uint32_t done = 0; done < frames;) {
        const auto at = [done](auto* channel) { return channel ? channel + done : channel; };
        // The effect alone goes straight through the engine, as it did before
        // there was a bypass.
        if (crossfade.effectOnly()) {
            processEffect(at(inLeft), at(inRight), at(outLeft), at(outRight), frames - done);
            return;
        }
        uint32_t stretch = std::min(frames - done, kScratchFrames);
        // A fade that lands within the stretch ends it, so that what follows
        // is the effect or the input alone.
        if (!crossfade.inputOnly()) stretch = std::min(stretch, crossfade.framesToLand());
        processBesideInput(at(inLeft), at(inRight), at(outLeft), at(outRight), stretch);
        done += stretch;
    }
}

void EffectProcessor::processBesideInput(const float* inLeft, const float* inRight,
                                         float* outLeft, float* outRight, uint32_t frames) {
    const size_t bytes = sizeof(float) * frames;
    std::memcpy(inputCopy[0], inLeft ? inLeft : silence, bytes);
    std::memcpy(inputCopy[1], inRight ? inRight : silence, bytes);
    // The line keeps listening while the effect is not heard.
    engine.process(inputCopy[0], inputCopy[1], effectCopy[0], effectCopy[1],
                   static_cast<int32_t>(frames), false);
    const float* heard[2] = {inputCopy[0], inputCopy[1]};
    if (!crossfade.inputOnly()) {
        crossfade.mix(inputCopy[0], inputCopy[1], effectCopy[0], effectCopy[1], frames);
        heard[0] = effectCopy[0];
        heard[1] = effectCopy[1];
    }
    if (outLeft) std::memcpy(outLeft, heard[0], bytes);
    if (outRight) std::memcpy(outRight, heard[1], bytes);
}

void EffectProcessor::processEffect(const float* inLeft, const float* inRight, float* outLeft,
                                    float* outRight, uint32_t frames) {
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
