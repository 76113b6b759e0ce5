#include "core/factory_presets.h"

namespace varnolet {

// Each row is tap 1 to 4 (time ms, pan, feedback %, level), then mix, cutoff
// Hz, Q, type, sweep, saturation and master feedback %. A tap that is not used
// has neither level nor feedback. The cutoffs are ones a host's 0..1 value
// reaches exactly (most frequencies fall between two of its steps), so that
// the bank gives VST 2.4 hosts the same sound as the other formats; so are
// the pans, which are sums of halves, quarters and eighths. Wherever the signal feeds back, the loop's
// gain stays below 1 at every frequency: the feedback of all taps together
// times the filter's largest gain, so that a normal input never builds up
// into clipping and every tail dies away.
const FactoryPreset kFactoryPresets[kNumFactoryPresets] = {
    // One centred echo 100 ms after the sound, as from a wall across a room.
    {"Slapback", "slapback",
     {100, 0, 0, 0.7f,  100, 0, 0, 0,  100, 0, 0, 0,  100, 0, 0, 0,
      0.5f, 3200, 0.1f, 0, 0, 0, 100}},
    // Echoes every 300 ms, left and right in turn; the fourth feeds the
    // pattern back at half its level, so it goes on from side to side.
    {"Ping-Pong", "ping-pong",
     {300, -1, 0, 0.8f,  600, 1, 0, 0.7f,  900, -1, 0, 0.6f,  1200, 1, 50, 0.5f,
      0.5f, 3200, 0.1f, 0, 0, 0, 100}},
    // One echo at a dotted eighth of 120 bpm feeding back 80 % through a
    // low-pass with no resonant peak (its largest gain is 1), with a little
    // drive: a long, darkening trail of repeats.
    {"Dub Feedback", "dub-feedback",
     {375, 0, 80, 0.8f,  375, 0, 0, 0,  375, 0, 0, 0,  375, 0, 0, 0,
      0.5f, 1050, 0.01f, 1, 0, 1, 100}},
    // A narrow band-pass around 1300 Hz: the echo sounds through a telephone.
    // The filter's gain at its centre is about 6, which the tap's level takes
    // back; the feedback times that gain stays at 0.6.
    {"Telephone", "telephone",
     {200, 0, 10, 0.17f,  200, 0, 0, 0,  200, 0, 0, 0,  200, 0, 0, 0,
      0.5f, 1300, 0.7f, 2, 0, 0, 100}},
    // Repeats driven into the soft clipper, so each comes back rougher,
    // through a filter halfway between through and low-pass.
    {"Saturated Repeats", "saturated-repeats",
     {300, -0.5f, 65, 1,  600, 0.5f, 0, 0.8f,  300, 0, 0, 0,  300, 0, 0, 0,
      0.6f, 3200, 0.1f, 0.5f, 0, 3, 100}},
    // At 120 bpm: eighth, quarter, dotted quarter and half note, the quarters
    // accented; the half note feeds the figure back.
    {"Four-Tap Rhythm 120", "four-tap-rhythm-120",
     {250, -0.5f, 0, 0.5f,  500, 0.5f, 0, 0.8f,  750, -0.25f, 0, 0.5f,  1000, 0.25f, 25, 0.9f,
      0.5f, 3200, 0.1f, 0, 0, 0, 100}},
    // Two short copies, 11 ms on the left and 17 ms on the right, that widen
    // a mono sound without being heard as echoes.
    {"Wide Doubler", "wide-doubler",
     {11, -1, 0, 0.7f,  17, 1, 0, 0.7f,  11, 0, 0, 0,  11, 0, 0, 0,
      0.5f, 3200, 0.1f, 0, 0, 0, 100}},
    // Four taps at times that share no beat, spread across the field, all
    // feeding back 18 % (72 % together) through a gentle low-pass: a dense,
    // dark tail that takes about twenty seconds to fade.
    {"Ambient Wash", "ambient-wash",
     {430, -0.75f, 18, 0.55f,  670, 0.625f, 18, 0.5f,  1130, -0.375f, 18, 0.45f,  1570, 0.875f, 18, 0.4f,
      0.45f, 2600, 0.01f, 1, 0, 0.5f, 100}},
};

}  // namespace varnolet
