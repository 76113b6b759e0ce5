// One plug-in in a render: it pulls its input from the stream before it,
// feeds the plug-in block by block and hands on what comes out, with the
// plug-in's own delay taken out, so that its output starts where its input
// does. Stages chain: a stage is itself the stream the next one pulls from.
#pragma once

#include <string>

#include "host/library/audio_stream.h"
#include "host/library/channel_blocks.h"
#include "host/library/channel_queue.h"
#include "host/library/plugin_instance.h"

// How a stream's channels meet a plug-in's inputs: one to one, or one
// channel to every input. False, with the reason, for anything else.
bool checkInputRouting(size_t streamChannels, int32_t pluginInputs, std::string& error);

class PluginStage : public AudioStream {
public:
    // A longer delay than this is taken out only this far: taking a delay
    // out costs its length in processing before the first frame comes, and
    // one that shrinks as much memory of silence.
    static constexpr size_t kLongestCompensation = size_t{1} << 20;

    // The upstream must pass checkInputRouting; no pull asks for more than
    // largestBlock frames, the size announced to the plug-in.
    PluginStage(PluginInstance& plugin, AudioStream& upstream, size_t largestBlock,
                bool compensateLatency = true);

    size_t channelCount() const override { return outputs.channelCount(); }
    void pull(float* const* channels, size_t frames) override;

    // Switches the plug-in on for processing and reads its delay, which it
    // may report only now; and switches it off again.
    void start();
    void stop();

    // The delay taken out now, and the longest one the plug-in reported.
    size_t latency() const { return compensation; }
    int32_t longestReportedLatency() const { return longestReported; }

private:
    void readLatency();
    // Runs one block through the plug-in and queues what is due of it.
    void processBlock(size_t frames);

    PluginInstance& plugin;
    AudioStream& upstream;
    ChannelBlocks fromUpstream;
    ChannelBlocks inputs;  // the plug-in's own: some write into their inputs
    ChannelBlocks outputs;
    ChannelQueue due;
    bool compensating;
    size_t compensation = 0;
    int32_t longestReported = 0;
    size_t processed = 0;  // frames the plug-in has given
    size_t queued = 0;     // frames queued for handing on, ever
};
