// The effect as a format's adapter runs it: values a host may send kept
// within their ranges, the floating-point mode the arithmetic is defined in
// set around every block, any channel a host leaves out taken as silence in
// and discarded out, and each activation started from silence.
#pragma once

#include <cstdint>

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
    void setSampleRate(double rate);
    double sampleRate() const { return rate; }

    // Silence in the line and a filter at rest, if anything was processed
    // since they last were.
    void startFromSilence();

    // A native value: one that is not a number changes nothing, one beyond
    // the parameter's range counts as its end. Between blocks, on the
    // thread that processes.
    void setParameter(int32_t index, float value);
    float parameter(int32_t index) const { return engine.parameter(index); }

    // A block of any length; any pointer may be null.
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                 uint32_t frames);

    const DelayEngine& delay() const { return engine; }

private:
    // Frames processed through the scratch channels at a time.
    static constexpr uint32_t kScratchFrames = 256;

    DelayEngine engine;
    double rate = 0.0;
    bool hasHistory = false;
    float silence[kScratchFrames] = {};
    float discardedLeft[kScratchFrames];
    float discardedRight[kScratchFrames];
};

}  // namespace varnolet
