// How the audio of a render meets a plug-in's inputs, as hosts wire it. The
// main stream feeds the first inputs and a sidechain, when there is one, the
// last half of them (rounded down: 2 inputs are 1 + 1, 3 are 2 + 1, 4 are
// 2 + 2). A stream with as many channels as its inputs feeds them one to
// one; a mono stream feeds both of a pair; a stream with fewer channels
// leaves the rest silent; a stream of several channels into a plug-in
// with one main input runs one instance per channel, each with the
// sidechain too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct InputSource {
    enum class From { Main, Sidechain, Silence };
    From from = From::Silence;
    size_t channel = 0;
};

struct InputRouting {
    size_t instances = 1;
    // For each instance, where each of its inputs comes from.
    std::vector<std::vector<InputSource>> sources;
    // Inputs that get silence although a stream could have fed them, for
    // the user ("inputs 3 to 64 get silence"); empty when there are none.
    std::string silentInputs;
};

// mainChannels 0: nothing to feed (an instrument played by events); the
// plug-in's inputs then all get silence. sidechainChannels 0: no sidechain.
// False, with the reason, for a layout that cannot be wired.
bool planInputs(size_t mainChannels, size_t sidechainChannels, int32_t pluginInputs,
                InputRouting& routing, std::string& error);
