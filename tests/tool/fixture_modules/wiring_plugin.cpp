// A plug-in whose output shows how its inputs were fed: output k is input
// k (counting round the inputs when there are more outputs) times Gain,
// Delay frames late. Built with WIRING_INPUTS inputs and WIRING_OUTPUTS
// outputs as a mono plug-in, one with sidechain inputs and one with many
// channels. It says it cannot receive MIDI events.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/tool/fixture_modules/fixture_record.h"

namespace {
constexpr int kLongestDelay = 100;

struct WiringPlugin {
    AEffect record{};
    float gain = 0.5f;   // x 2
    float delay = 0.0f;  // x kLongestDelay frames
    std::vector<std::vector<float>> lines;  // the last kLongestDelay + 1 frames of each input
    size_t position = 0;
};

WiringPlugin* self(AEffect* effect) { return static_cast<WiringPlugin*>(effect->object); }

int delayFrames(const WiringPlugin* plugin) {
    return static_cast<int>(std::lround(plugin->delay * kLongestDelay));
}

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t index, intptr_t, void* ptr, float) {
    WiringPlugin* plugin = self(effect);
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effClose:
            delete plugin;
            return 1;
        case effGetParamName:
            std::strcpy(text, index == 0 ? "Gain" : "Delay");
            return 0;
        case effGetParamDisplay:
            if (index == 0) std::snprintf(text, 8, "%.3f", 2.0 * plugin->gain);
            else std::snprintf(text, 8, "%d", delayFrames(plugin));
            return 0;
        case effCanDo:
            return std::strncmp(text, "receiveVst", 10) == 0 ? -1 : 0;
        case effGetProductString:
            std::strcpy(text, WIRING_NAME);
            return 1;
        default:
            return 0;
    }
}

float getParameter(AEffect* effect, int32_t index) {
    return index == 0 ? self(effect)->gain : self(effect)->delay;
}

void setParameter(AEffect* effect, int32_t index, float value) {
    (index == 0 ? self(effect)->gain : self(effect)->delay) = value;
}

void process(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    WiringPlugin* plugin = self(effect);
    const size_t size = kLongestDelay + 1;
    const size_t delay = static_cast<size_t>(delayFrames(plugin));
    const float gain = 2.0f * plugin->gain;
    for (int32_t i = 0; i < frames; ++i) {
        const size_t at = (plugin->position + static_cast<size_t>(i)) % size;
        for (int c = 0; c < WIRING_INPUTS; ++c) plugin->lines[c][at] = inputs[c][i];
        for (int k = 0; k < WIRING_OUTPUTS; ++k)
            outputs[k][i] = gain * plugin->lines[k % WIRING_INPUTS][(at + size - delay) % size];
    }
    plugin->position = (plugin->position + static_cast<size_t>(frames)) % size;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    WiringPlugin* plugin = new WiringPlugin;
    plugin->lines.assign(WIRING_INPUTS, std::vector<float>(kLongestDelay + 1, 0.0f));
    fillFixtureRecord(plugin->record, plugin, {dispatch, getParameter, setParameter, process}, 2,
                      fourCharCode('W', 'i', 'r', 'E'));
    plugin->record.numInputs = WIRING_INPUTS;
    plugin->record.numOutputs = WIRING_OUTPUTS;
    return &plugin->record;
}
