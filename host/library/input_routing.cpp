#include "host/library/input_routing.h"

namespace {
std::string channelsText(size_t count) {
    return std::to_string(count) + " input channel" + (count == 1 ? "" : "s");
}

std::string inputRange(size_t first, size_t last) {
    const std::string from = std::to_string(first + 1), to = std::to_string(last + 1);
    return first == last ? "input " + from : "inputs " + from + " to " + to;
}

// Fills inputs [first, first + count) from a stream of that many channels
// (0: none), for one instance; channel offset picks an instance's channel.
void feedGroup(std::vector<InputSource>& inputs, size_t first, size_t count,
               InputSource::From from, size_t channels, size_t channelOffset) {
    for (size_t i = 0; i < count; ++i) {
        InputSource& source = inputs[first + i];
        if (channels == 1 && count == 2) source = {from, channelOffset};
        else if (i < channels) source = {from, channelOffset + i};
        else source = {InputSource::From::Silence, 0};
    }
}
}  // namespace

bool planInputs(size_t mainChannels, size_t sidechainChannels, int32_t pluginInputs,
                InputRouting& routing, std::string& error) {
    const size_t inputs = pluginInputs > 0 ? static_cast<size_t>(pluginInputs) : 0;
    routing = InputRouting{};
    if (inputs == 0 && (mainChannels > 0 || sidechainChannels > 0)) {
        error = "the plug-in takes no audio input";
        return false;
    }
    const size_t sidechainInputs = sidechainChannels > 0 ? inputs / 2 : 0;
    const size_t mainInputs = inputs - sidechainInputs;
    if (sidechainChannels > 0 && sidechainInputs == 0) {
        error = "the plug-in has no input for a sidechain: it takes " + channelsText(inputs);
        return false;
    }
    if (sidechainChannels > sidechainInputs) {
        error = "the plug-in's sidechain takes " + channelsText(sidechainInputs) +
                "; the sidechain has " + std::to_string(sidechainChannels);
        return false;
    }
    const bool perChannel = mainInputs == 1 && mainChannels > 1;
    if (mainChannels > mainInputs && !perChannel) {
        error = "the plug-in takes " + channelsText(mainInputs) + "; the input has " +
                std::to_string(mainChannels);
        return false;
    }

    routing.instances = perChannel ? mainChannels : 1;
    routing.sources.assign(routing.instances, std::vector<InputSource>(inputs));
    for (size_t k = 0; k < routing.instances; ++k) {
        feedGroup(routing.sources[k], 0, mainInputs, InputSource::From::Main,
                  perChannel ? 1 : mainChannels, perChannel ? k : 0);
        feedGroup(routing.sources[k], mainInputs, sidechainInputs, InputSource::From::Sidechain,
                  sidechainChannels, 0);
    }
    std::string silent;
    size_t silentCount = 0;
    const auto note = [&](size_t fed, size_t first, size_t count) {
        if (fed == 0 || fed >= count || (fed == 1 && count == 2)) return;
        silent += (silent.empty() ? "" : " and ") + inputRange(first + fed, first + count - 1);
        silentCount += count - fed;
    };
    if (!perChannel) note(mainChannels, 0, mainInputs);
    note(sidechainChannels, mainInputs, sidechainInputs);
    if (!silent.empty()) routing.silentInputs = silent + (silentCount == 1 ? " gets" : " get") + " silence";
    return true;
}
