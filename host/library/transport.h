// A song's tempo and metre over time, as a host's transport plays it from
// its start: where a frame lies in quarter notes and in bars, and what a
// plug-in that asks for the time is told.
#pragma once

#include <cstdint>
#include <vector>

#include "vst/aeffect.h"

class Transport {
public:
    // One tempo and one metre from the start on.
    Transport(double beatsPerMinute = 120.0, int32_t numerator = 4, int32_t denominator = 4);

    // A change at a position in quarter notes from the start; changes come
    // in order, and one at the position of the last replaces it.
    void changeTempo(double quarterNote, double beatsPerMinute);
    void changeMetre(double quarterNote, int32_t numerator, int32_t denominator);

    // Seconds from the start to that quarter note, and back.
    double secondsAt(double quarterNote) const;
    double quarterNoteAt(double seconds) const;

    // What the transport says at the frame: playing, with sample position,
    // rate, position in quarter notes, tempo, the bar's start and the
    // metre, and the flags that say so. changed marks the block where the
    // transport started.
    void describe(int64_t frame, double sampleRate, bool changed, VstTimeInfo& info) const;

private:
    struct TempoPoint {
        double quarterNote;
        double seconds;  // from the start to it
        double beatsPerMinute;
    };
    struct MetrePoint {
        double quarterNote;
        int32_t numerator, denominator;
    };
    std::vector<TempoPoint> tempi;
    std::vector<MetrePoint> metres;
};
