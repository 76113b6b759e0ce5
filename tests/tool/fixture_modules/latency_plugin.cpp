// A plug-in with a delay of its own, as lookahead limiters have: its output
// is its input Delay frames later. It reports the delay when switched on and
// announces it with audioMasterIOChanged, then or, as LSP's plug-ins do, in
// its first block ("Announce late" at 1, "yes"), or sets it in its first
// block and says nothing ("Announce late" at 0.5, "silently").
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/tool/fixture_modules/fixture_record.h"

namespace {
constexpr int kLongestDelay = 1000;

struct LatencyPlugin {
    AEffect record{};
    audioMasterCallback host = nullptr;
    float parameters[2] = {0.1f, 0.0f};  // Delay (x 1000 frames), Announce late
    int delay = 0;
    bool announcePending = false;
    bool silently = false;  // the pending delay is set without a word
    std::vector<float> lines[2];  // the last kLongestDelay + 1 frames of each input
    size_t position = 0;
};

LatencyPlugin* self(AEffect* effect) { return static_cast<LatencyPlugin*>(effect->object); }

void announce(LatencyPlugin* plugin) {
    plugin->record.initialDelay = plugin->delay;
    if (!plugin->silently) plugin->host(&plugin->record, audioMasterIOChanged, 0, 0, nullptr, 0.0f);
}

const char* lateness(float value) { return value >= 0.75f ? "yes" : value >= 0.25f ? "silently" : "no"; }

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float) {
    LatencyPlugin* plugin = self(effect);
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effClose:
            delete plugin;
            return 1;
        case effMainsChanged:
            if (value == 0) return 0;
            plugin->delay = static_cast<int>(std::lround(plugin->parameters[0] * kLongestDelay));
            for (auto& line : plugin->lines) line.assign(kLongestDelay + 1, 0.0f);
            plugin->silently = plugin->parameters[1] >= 0.25f && plugin->parameters[1] < 0.75f;
            plugin->record.initialDelay = 0;
            if (plugin->parameters[1] >= 0.25f) plugin->announcePending = true;
            else announce(plugin);
            return 0;
        case effGetParamName:
            std::strcpy(text, index == 0 ? "Delay" : "Announce late");
            return 0;
        case effGetParamDisplay:
            if (index == 0)
                std::snprintf(text, 8, "%ld", std::lround(plugin->parameters[0] * kLongestDelay));
            else
                std::strcpy(text, lateness(plugin->parameters[1]));
            return 0;
        case effGetProductString:
            std::strcpy(text, "Latency Fixture");
            return 1;
        default:
            return 0;
    }
}

float getParameter(AEffect* effect, int32_t index) {
    return index >= 0 && index < 2 ? self(effect)->parameters[index] : 0.0f;
}

void setParameter(AEffect* effect, int32_t index, float value) {
    if (index >= 0 && index < 2) self(effect)->parameters[index] = value;
}

void process(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    LatencyPlugin* plugin = self(effect);
    if (plugin->announcePending) {
        plugin->announcePending = false;
        announce(plugin);
    }
    const size_t size = kLongestDelay + 1;
    for (int32_t i = 0; i < frames; ++i) {
        const size_t at = (plugin->position + static_cast<size_t>(i)) % size;
        const size_t from = (at + size - static_cast<size_t>(plugin->delay)) % size;
        for (int c = 0; c < 2; ++c) {
            plugin->lines[c][at] = inputs[c][i];
            outputs[c][i] = plugin->lines[c][from];
        }
    }
    plugin->position = (plugin->position + static_cast<size_t>(frames)) % size;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    LatencyPlugin* plugin = new LatencyPlugin;
    plugin->host = host;
    for (auto& line : plugin->lines) line.assign(kLongestDelay + 1, 0.0f);
    fillFixtureRecord(plugin->record, plugin, {dispatch, getParameter, setParameter, process}, 2,
                      fourCharCode('L', 'a', 'T', 'c'));
    return &plugin->record;
}
