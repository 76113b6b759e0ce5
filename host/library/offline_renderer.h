// Runs audio through a chain of plug-in stages the way an offline host
// bounces a track: the input block by block, then the tail until it has
// rung out. The audio streams from source to sink a block at a time, so a
// render needs as much memory for an hour as for a second.
#pragma once

#include <functional>
#include <string>

#include "host/library/audio_stream.h"
#include "host/library/block_schedule.h"
#include "host/library/input_then_silence.h"

struct TailLength {
    // Fixed: exactly that many seconds after the input. Automatic: until the
    // output, and every stage of the chain before it, has stayed quiet
    // (kQuietLevel) for quietSeconds (longer than the longest gap
    // between echoes of a two-second delay line at 44.1 kHz), at most
    // capSeconds, then cut after the last frame that was not quiet.
    bool automatic = true;
    double seconds = 0.0;
    double quietSeconds = 2.5;
    double capSeconds = 60.0;

    static TailLength fixed(double seconds) {
        TailLength t;
        t.automatic = false;
        t.seconds = seconds;
        return t;
    }
};

struct RenderReport {
    size_t inputFrames = 0;
    size_t outputFrames = 0;
    // The plug-ins' delays as they were taken out at the end, added up, and
    // the longest one reported.
    size_t latency = 0;
    int32_t longestReportedLatency = 0;
    // An automatic tail that its cap cut while it was still sounding, and
    // its loudest sample in about the last half second, in dB full scale.
    bool tailCut = false;
    double tailCapSeconds = 0.0;
    double lastTailDecibels = 0.0;
};

class OfflineRenderer {
public:
    OfflineRenderer(BlockSchedule blocks, TailLength tailLength)
        : schedule(blocks), tail(tailLength) {}

    // Told the frames done so far and the frames known to come (0 while the
    // end is not known: an input of unknown length, an automatic tail).
    std::function<void(size_t done, size_t total)> progress;
    // Pulls the last stage of a chain whose first stage is fed by input
    // (started, and stopped afterwards, by the caller) until the input has
    // ended and the tail has rung out.
    bool run(InputThenSilence& input, AudioStream& last, AudioSink& sink, RenderReport& report,
             std::string& error);

private:
    BlockSchedule schedule;
    TailLength tail;
};
