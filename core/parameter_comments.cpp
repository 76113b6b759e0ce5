#include "core/parameter_comments.h"

#include "core/varnolet_parameters.h"

namespace varnolet {

const char* const kEffectComment =
    "A stereo delay with four panned, levelled taps on one mono line. Each tap feeds back, "
    "scaled by the master feedback, and everything written into the line first passes a soft "
    "clipper and a filter that crossfades from through to low-, band- and high-pass, so every "
    "echo is shaped again on each pass.";

namespace {

// The taps are laid out alike: time, pan, feedback, level.
const char* const kTapComments[4] = {
    "The tap's delay in milliseconds. 0 ms reads the whole line: the longest delay, two "
    "seconds, the same as 2000 ms.",
    "Where the tap sits in the stereo output, from -1 (left) to 1 (right). The law is "
    "linear: 0 gives each side half of the tap's level.",
    "How much of the tap goes back into the line, in percent, before the master feedback "
    "scales it.",
    "The tap's level in the wet output, as a linear gain: 1 leaves it as it is.",
};

const char* const kOtherComments[] = {
    // Wet/Dry mix
    "The mix of the taps with the untouched input: 0 is dry only, 1 wet only, and at 0.5 "
    "both are at full level.",
    // Filter Cutoff
    "The cutoff of the filter in front of the line, in hertz; Filter Sweep adds to it.",
    // Filter Q
    "The filter's resonance: its gain at the cutoff is about 1/q, with q = 2 (1 - Q^(1/4)), "
    "+10 dB at 0.5 and +26 dB at 0.9. At 1 the filter is undamped: a sound held at the cutoff "
    "makes it ring louder without bound, and it goes on ringing when the sound stops.",
    // Filter Type
    "What the filter passes, crossfading in between: 0 through, 1 low-pass, 2 band-pass, "
    "3 high-pass, 4 through again.",
    // Filter Sweep
    "Adds up to seven octaves above 62.5 Hz to the cutoff: 62.5 (2^(7 sweep) - 1) Hz, "
    "7937.5 Hz at 1.",
    // Saturation
    "The drive into the soft clipper in front of the filter, from 0 to 11; the clipped signal "
    "is scaled back down, by at most a factor of 8.",
    // Master feedback
    "Scales every tap's feedback, in percent: 100 % leaves them as set, 200 % doubles them, "
    "0 % removes all feedback.",
};
static_assert(kWetDryMix + sizeof kOtherComments / sizeof kOtherComments[0] == kNumParameters,
              "one comment for each parameter after the taps");

}  // namespace

const char* parameterComment(int32_t index) {
    if (index < 0 || index >= kNumParameters) return "";
    if (index < kWetDryMix) return kTapComments[index % 4];
    return kOtherComments[index - kWetDryMix];
}

}  // namespace varnolet
