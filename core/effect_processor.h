// The effect as a format's adapter runs it: values a host may send kept
// within their ranges, the floating-point mode the arithmetic is defined in
// set around every block, any channel a host leaves out taken as silence in
// and discarded out, each activation started from silence, and a bypass
// that crossfades while the line goes on listening.
#pragma once

#include <cstdint>

#include "core/bypass_crossfade.h"
#include "core/delay_engine.h"

namespace varnolet {

class EffectProcessor {
public:
    // The rates the line can be made for: from 1 kHz to 768 kHz.
    static constexpr double kMinSampleRate = 1000.0;
    static constexpr double kMaxSampleRate = DelayEngine::kMaxSampleRate;
    static bool supportsSampleRate(double rate);

    // The line holds two seconds at the given rate, which must be supported.
    // When memory runs out, std::bad_alloc leaves the processor as it was.
    // A bypass crossfade under way lands on its setting.
    void setSampleRate(double rate);
    double sampleRate() const { return rate; }

    // Silence in the line and a filter at rest, if anything was processed
    // since they last were, and a bypass crossfade landed on its setting.
    void startFromSilence();

    // A native value: one that is not a number changes nothing, one beyond
    // the parameter's range counts as its end. Between blocks, on the
    // thread that processes.
    void setParameter(int32_t index, float value);
    float parameter(int32_t index) const { return engine.parameter(index); }

    // Bypassed, the output is the input, bit for bit once the crossfade of a
    // switch has passed; the line goes on taking the input, so that echoes
    // of what was played meanwhile follow when the bypass ends. A switch
    // before the first frame since the activation holds from that frame:
    // nothing has been heard to crossfade from. Between blocks, on the
    // thread that processes.
    void setBypassed(bool bypass);
    bool bypassed() const { return crossfade.bypassed(); }

    // A block of any length; any pointer may be null.
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                 uint32_t frames);

    const DelayEngine& delay() const { return engine; }

private:
    // Frames processed through the scratch channels at a time.
    static constexpr uint32_t kScratchFrames = 256;

    // The effect alone, as the engine makes it.
    void processEffect(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                       uint32_t frames);
    // Up to kScratchFrames of the effect beside its input: bypassed or
    // crossfading.
    void processBesideInput(const float* inLeft, const float* inRight, float* outLeft,
                            float* outRight, uint32_t frames);

    DelayEngine engine;
    BypassCrossfade crossfade;
    double rate = 0.0;
    bool hasHistory = false;
    float silence[kScratchFrames] = {};
    float discardedLeft[kScratchFrames];
    float discardedRight[kScratchFrames];
    // The input and the effect's output while the two are mixed: copies,
    // because a host may pass the same buffers in and out.
    float inputCopy[2][kScratchFrames];
    float effectCopy[2][kScratchFrames] = {};
};

}  // namespace varnolet
