// One plug-in in a render: it pulls its input from the stream before it
// (and from a sidechain, when it has one), feeds the plug-in block by block
// with the block's events and the automation's values, and hands on what
// comes out, with the plug-in's own delay taken out, so that its output
// starts where its input does. Stages chain: a stage is itself the stream
// the next one pulls from. A plug-in that one stream feeds channel by
// channel runs as several instances, fed and set alike.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "host/library/audio_stream.h"
#include "host/library/channel_blocks.h"
#include "host/library/channel_queue.h"
#include "host/library/event_feed.h"
#include "host/library/input_routing.h"
#include "host/library/parameter_automation.h"
#include "host/library/hosted_plugin.h"

struct StageOptions {
    bool compensateLatency = true;
    // Feeds the inputs the routing gives the sidechain; as long as the
    // stream before the stage, silence after its end.
    AudioStream* sidechain = nullptr;
    // Sent to every instance before each block that holds some.
    EventFeed* events = nullptr;
    // Applied to every instance at its steps: as changes within the block
    // to a plug-in that takes them so, else by splitting blocks there.
    ParameterAutomation automation;
    // Which of the instances' outputs (instance by instance, each in its
    // order) the stage hands on, in that order; empty: all of them.
    std::vector<size_t> outputs;
    // Adds up the time processing takes, for a benchmark.
    bool timed = false;
};

class PluginStage : public AudioStream {
public:
    // A longer delay than this is taken out only this far: taking a delay
    // out costs its length in processing before the first frame comes, and
    // one that shrinks as much memory of silence.
    static constexpr size_t kLongestCompensation = size_t{1} << 20;

    // As many instances as the routing plans, prepared alike; the upstream
    // has the channels the routing was planned for. No pull asks for more
    // than largestBlock frames, the size announced to the plug-in.
    PluginStage(std::vector<HostedPlugin*> instances, const InputRouting& routing,
                AudioStream& upstream, size_t largestBlock, StageOptions options = StageOptions());

    size_t channelCount() const override { return handedOn.size(); }
    void pull(float* const* channels, size_t frames) override;
    size_t quietFrames() const override;

    // Switches the plug-in on for processing and reads its delay, which it
    // may report only now, and again after its first block, which may
    // settle it; and switches it off again. False, saying why,
    // when a plug-in refuses.
    bool start(std::string& error);
    void stop();
    // How long the plug-in rings on after its input, where it says.
    TailReport tail();

    // The delay taken out now, and the longest one the plug-in reported.
    size_t latency() const { return compensation; }
    int32_t longestReportedLatency() const { return longestReported; }
    // The time spent processing, when timed.
    std::chrono::nanoseconds processingTime() const { return spent; }

private:
    struct Instance {
        HostedPlugin* plugin;
        std::vector<InputSource> sources;
        std::unique_ptr<ChannelBlocks> inputs;  // its own: some write into their inputs
        std::unique_ptr<ChannelBlocks> outputs;
    };

    void readLatency();
    // Runs one block through the plug-in and queues what is due of it:
    // whole, with the automation's changes at their frames, or in pieces
    // that end on the automation's steps.
    void processBlock(size_t frames);
    void processPiece(size_t offset, size_t frames);
    void applyAutomation();
    void collectChanges(size_t frames);

    std::vector<Instance> instances;
    AudioStream& upstream;
    StageOptions options;
    ChannelBlocks fromUpstream;
    std::unique_ptr<ChannelBlocks> fromSidechain;
    std::vector<float*> handedOn;  // the outputs handed on
    std::vector<float> lastApplied;  // per ramp, NaN before the first
    bool changesWithinBlock = false;
    std::vector<ParameterChange> changes;  // of the block being processed
    ChannelQueue due;
    size_t compensation = 0;
    int32_t longestReported = 0;
    size_t processed = 0;  // frames the plug-in has given
    size_t queued = 0;     // frames queued for handing on, ever
    size_t quiet = 0;      // of the last frames processed, on every output
    std::chrono::nanoseconds spent{0};
};
