// Runs audio through a plug-in the way an offline host bounces a track:
// switch on, process the input block by block, let the tail ring out,
// switch off.
#pragma once

#include <functional>
#include <string>

#include "host/audio_buffer.h"
#include "host/block_schedule.h"
#include "host/plugin_instance.h"

struct TailLength {
    // Quiet means every output below this, in dB full scale.
    static constexpr double kQuietDecibels = -90.0;

    // Fixed: exactly that many seconds after the input. Automatic: until the
    // output has stayed quiet for quietSeconds (longer than the longest gap
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

// How the channels of a file meet the plug-in's inputs: one to one, or a mono
// file to every input. False, with the reason, for anything else.
bool checkInputRouting(size_t fileChannels, int32_t pluginInputs, std::string& error);

class OfflineRenderer {
public:
    OfflineRenderer(PluginInstance& instance, BlockSchedule blocks, TailLength tailLength)
        : plugin(instance), schedule(blocks), tail(tailLength) {}

    // Told the frames done so far and the frames known to come (0 while the
    // automatic tail rings out).
    std::function<void(size_t done, size_t total)> progress;

    // The plug-in must be open with its rate and largest block set. The input
    // must pass checkInputRouting; the result has one channel per output.
    AudioBuffer render(const AudioBuffer& input);

private:
    PluginInstance& plugin;
    BlockSchedule schedule;
    TailLength tail;
};
