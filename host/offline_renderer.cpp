#include "host/offline_renderer.h"

#include <algorithm>
#include <cmath>

bool checkInputRouting(size_t fileChannels, int32_t pluginInputs, std::string& error) {
    if (pluginInputs <= 0) {
        error = "the plug-in takes no audio input";
        return false;
    }
    if (fileChannels == 0) {
        error = "the input has no channels";
        return false;
    }
    if (fileChannels == 1 || fileChannels == static_cast<size_t>(pluginInputs)) return true;
    error = "the plug-in takes " + std::to_string(pluginInputs) + " input channel" +
            (pluginInputs == 1 ? "" : "s") + "; the input has " + std::to_string(fileChannels);
    return false;
}

AudioBuffer OfflineRenderer::render(const AudioBuffer& input) {
    const size_t inputCount = static_cast<size_t>(std::max(plugin.effect()->numInputs, 0));
    const size_t outputCount = static_cast<size_t>(std::max(plugin.effect()->numOutputs, 0));
    const size_t largest = static_cast<size_t>(schedule.largest());
    const size_t inputFrames = input.frames();
    const double rate = input.sampleRate;
    const size_t cap = tail.automatic ? static_cast<size_t>(tail.capSeconds * rate)
                                      : static_cast<size_t>(std::max(tail.seconds, 0.0) * rate);
    const size_t quietRun = static_cast<size_t>(tail.quietSeconds * rate);
    const float quiet = static_cast<float>(std::pow(10.0, TailLength::kQuietDecibels / 20.0));

    // Plug-ins get buffers of their own, never the file's: some write into
    // their inputs, and a mono file feeds several inputs.
    std::vector<std::vector<float>> inBlocks(inputCount, std::vector<float>(largest + 1, 0.0f));
    std::vector<std::vector<float>> outBlocks(outputCount, std::vector<float>(largest + 1, 0.0f));
    std::vector<float*> inPointers(inputCount + 1, nullptr);
    std::vector<float*> outPointers(outputCount + 1, nullptr);
    for (size_t c = 0; c < inputCount; ++c) inPointers[c] = inBlocks[c].data();
    for (size_t c = 0; c < outputCount; ++c) outPointers[c] = outBlocks[c].data();

    AudioBuffer output(rate, outputCount, 0);
    for (auto& channel : output.channels) channel.reserve(inputFrames + (tail.automatic ? 0 : cap));

    plugin.resume();
    plugin.dispatch(effStartProcess);
    size_t done = 0;
    size_t lastLoud = 0;  // one past the last frame that was not quiet
    const size_t knownTotal = inputFrames + (tail.automatic ? 0 : cap);
    while (true) {
        if (done >= inputFrames) {
            const size_t tailDone = done - inputFrames;
            if (tailDone >= cap) break;
            if (tail.automatic && done - std::max(lastLoud, inputFrames) >= quietRun) break;
        }
        const size_t end = done >= inputFrames ? inputFrames + cap : inputFrames;
        const size_t frames = std::min(static_cast<size_t>(schedule.next()), end - done);
        for (size_t c = 0; c < inputCount; ++c) {
            const std::vector<float>& source = input.channels[input.channelCount() == 1 ? 0 : c];
            for (size_t i = 0; i < frames; ++i)
                inBlocks[c][i] = done + i < inputFrames ? source[done + i] : 0.0f;
        }
        plugin.processReplacing(inPointers.data(), outPointers.data(), static_cast<int32_t>(frames));
        for (size_t c = 0; c < outputCount; ++c) {
            const float* block = outBlocks[c].data();
            output.channels[c].insert(output.channels[c].end(), block, block + frames);
            for (size_t i = 0; i < frames; ++i)
                if (!(std::fabs(block[i]) < quiet)) lastLoud = std::max(lastLoud, done + i + 1);
        }
        done += frames;
        if (progress) progress(done, tail.automatic && done >= inputFrames ? 0 : knownTotal);
    }
    plugin.dispatch(effStopProcess);
    plugin.suspend();

    if (tail.automatic) {
        const size_t keep = std::max(lastLoud, inputFrames);
        for (auto& channel : output.channels) channel.resize(std::min(keep, channel.size()));
    }
    return output;
}
