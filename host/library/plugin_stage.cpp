#include "host/library/plugin_stage.h"

#include <algorithm>

namespace {
size_t count(int32_t channels) { return static_cast<size_t>(std::max(channels, 0)); }
}  // namespace

bool checkInputRouting(size_t streamChannels, int32_t pluginInputs, std::string& error) {
    if (pluginInputs <= 0) {
        error = "the plug-in takes no audio input";
        return false;
    }
    if (streamChannels == 0) {
        error = "the input has no channels";
        return false;
    }
    if (streamChannels == 1 || streamChannels == static_cast<size_t>(pluginInputs)) return true;
    error = "the plug-in takes " + std::to_string(pluginInputs) + " input channel" +
            (pluginInputs == 1 ? "" : "s") + "; the input has " + std::to_string(streamChannels);
    return false;
}

PluginStage::PluginStage(PluginInstance& instance, AudioStream& source, size_t largestBlock,
                         bool compensateLatency)
    : plugin(instance),
      upstream(source),
      fromUpstream(source.channelCount(), largestBlock),
      inputs(count(instance.numInputs()), largestBlock),
      outputs(count(instance.numOutputs()), largestBlock),
      due(count(instance.numOutputs())),
      compensating(compensateLatency) {}

void PluginStage::start() {
    plugin.resume();
    plugin.startProcessing();
    plugin.takeIoChange();
    readLatency();
}

void PluginStage::stop() {
    plugin.stopProcessing();
    plugin.suspend();
}

void PluginStage::readLatency() {
    const int32_t reported = plugin.initialDelay();
    longestReported = std::max(longestReported, reported);
    if (compensating) compensation = std::min(count(reported), kLongestCompensation);
}

void PluginStage::pull(float* const* channels, size_t frames) {
    // A block of no frames still reaches the plug-in, as some hosts send it.
    if (frames == 0) processBlock(0);
    while (due.frames() < frames) processBlock(frames);
    due.pop(channels, frames);
}

void PluginStage::processBlock(size_t frames) {
    upstream.pull(fromUpstream.data(), frames);
    const size_t sources = fromUpstream.channelCount();
    for (size_t c = 0; c < inputs.channelCount(); ++c)
        std::copy_n(fromUpstream[sources == 1 ? 0 : c], frames, inputs[c]);
    plugin.processReplacing(inputs.data(), outputs.data(), static_cast<int32_t>(frames));
    if (plugin.takeIoChange()) readLatency();

    // The next frame to hand on is the plug-in's frame (queued + delay). A
    // delay that grew skips frames; one that shrank repeats none but leaves
    // a gap of silence, so that what follows stays in time.
    const size_t next = queued + compensation;
    if (next < processed) {
        due.pushSilence(processed - next);
        queued += processed - next;
    }
    const size_t skip = std::min(frames, std::max(next, processed) - processed);
    due.push(outputs.data(), skip, frames - skip);
    queued += frames - skip;
    processed += frames;
}
