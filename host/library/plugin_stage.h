// One plug-in in a render: it pulls its input from the stream before it,
// feeds the plug-in block by block and hands on what comes out. Stages
// chain: a stage is itself the stream the next one pulls from.
#pragma once

#include <string>

#include "host/library/audio_stream.h"
#include "host/library/channel_blocks.h"
#include "host/library/plugin_instance.h"

// How a stream's channels meet a plug-in's inputs: one to one, or one
// channel to every input. False, with the reason, for anything else.
bool checkInputRouting(size_t streamChannels, int32_t pluginInputs, std::string& error);

class PluginStage : public AudioStream {
public:
    // The upstream must pass checkInputRouting; no pull asks for more than
    // largestBlock frames, the size announced to the plug-in.
    PluginStage(PluginInstance& plugin, AudioStream& upstream, size_t largestBlock);

    size_t channelCount() const override { return outputs.channelCount(); }
    void pull(float* const* channels, size_t frames) override;

    // Switches the plug-in on for processing, and off again.
    void start();
    void stop();

private:
    PluginInstance& plugin;
    AudioStream& upstream;
    ChannelBlocks fromUpstream;
    ChannelBlocks inputs;  // the plug-in's own: some write into their inputs
    ChannelBlocks outputs;
};
