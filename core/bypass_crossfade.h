// Switching the effect out and back in without a click: for a few
// milliseconds after each switch the output slides linearly from what it was
// to what it becomes, the effect's output and the input weighted so that
// their gains always add up to one.
#pragma once

#include <cstdint>

namespace varnolet {

class BypassCrossfade {
public:
    // Long enough that the slide from one signal to the other is no louder
    // than the signals' own movement, short enough to feel immediate.
    static constexpr double kFadeSeconds = 0.005;

    // The fade lasts kFadeSeconds at this rate (at least a frame); any fade
    // under way is finished.
    void setSampleRate(double rate);

    // A switch starts a fade from wherever the output stands, so that one
    // reversed half-way slides back from there.
    void setBypassed(bool bypass) { target = bypass; }
    bool bypassed() const { return target; }

    // Lands on the current setting at once.
    void finish() { position = target ? 0 : length; }

    // The output is the effect's alone: no fade, not bypassed.
    bool effectOnly() const { return position == length && !target; }
    // The output is the input alone: no fade, bypassed.
    bool inputOnly() const { return position == 0 && target; }
    // How many frames are left before the fade lands on the setting (none
    // when it has landed).
    uint32_t framesToLand() const { return target ? position : length - position; }

    // Advances the fade by `frames`, no more than framesToLand(), writing into
    // `effect` the mix of each channel's effect output and input frame by
    // frame.
    void mix(const float* inLeft, const float* inRight, float* effectLeft, float* effectRight,
             uint32_t frames);

private:
    // Frames of a whole fade, and how far the output stands from the input
    // towards the effect: `length` is the effect alone, 0 the input alone.
    uint32_t length = 1;
    uint32_t position = 1;
    bool target = false;
};

}  // namespace varnolet
