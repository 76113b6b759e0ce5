// Short input signals that the project makes itself: nothing is downloaded.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/library/audio_buffer.h"

// One frame of the given height at frame 0 on every channel, then silence.
AudioBuffer makeClick(double sampleRate, size_t channels, double seconds, float height);

// White noise from -height to height, the same for the same seed.
AudioBuffer makeNoise(double sampleRate, size_t channels, double seconds, float height,
                      uint32_t seed);

// A stereo demo: single-frame clicks (both sides, left only, right only),
// then a decaying C major chord, then silence for the echoes.
AudioBuffer makeClicksAndChord(double sampleRate, double seconds);
