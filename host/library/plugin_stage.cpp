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

PluginStage::PluginStage(PluginInstance& instance, AudioStream& source, size_t largestBlock)
    : plugin(instance),
      upstream(source),
      fromUpstream(source.channelCount(), largestBlock),
      inputs(count(instance.numInputs()), largestBlock),
      outputs(count(instance.numOutputs()), largestBlock) {}

void PluginStage::start() {
    plugin.resume();
    plugin.startProcessing();
}

void PluginStage::stop() {
    plugin.stopProcessing();
    plugin.suspend();
}

void PluginStage::pull(float* const* channels, size_t frames) {
    upstream.pull(fromUpstream.data(), frames);
    const size_t sources = fromUpstream.channelCount();
    for (size_t c = 0; c < inputs.channelCount(); ++c)
        std::copy_n(fromUpstream[sources == 1 ? 0 : c], frames, inputs[c]);
    plugin.processReplacing(inputs.data(), outputs.data(), static_cast<int32_t>(frames));
    for (size_t c = 0; c < outputs.channelCount(); ++c) std::copy_n(outputs[c], frames, channels[c]);
}
