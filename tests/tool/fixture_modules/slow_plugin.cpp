// A plug-in slower than real time, as heavy reverbs and sample players can
// be: each block takes (1 + 4 * Slowness) times as long as it lasts at the
// sample rate, spent waiting; the sound passes through unchanged.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "tests/tool/fixture_modules/fixture_record.h"

namespace {
struct SlowPlugin {
    AEffect record{};
    float slowness = 0.25f;  // twice as long as real time
    float sampleRate = 44100.0f;
};

SlowPlugin* self(AEffect* effect) { return static_cast<SlowPlugin*>(effect->object); }

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float opt) {
    SlowPlugin* plugin = self(effect);
    switch (opcode) {
        case effClose:
            delete plugin;
            return 1;
        case effSetSampleRate:
            if (opt > 0.0f) plugin->sampleRate = opt;
            return 0;
        case effGetParamName:
            std::strcpy(static_cast<char*>(ptr), "Slowness");
            return 0;
        case effGetParamDisplay:
            std::snprintf(static_cast<char*>(ptr), 8, "%.2f", static_cast<double>(plugin->slowness));
            return 0;
        case effGetProductString:
            std::strcpy(static_cast<char*>(ptr), "Slow Fixture");
            return 1;
        default:
            return 0;
    }
}

float getParameter(AEffect* effect, int32_t) { return self(effect)->slowness; }
void setParameter(AEffect* effect, int32_t, float value) { self(effect)->slowness = value; }

void process(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    const SlowPlugin* plugin = self(effect);
    using Clock = std::chrono::steady_clock;
    const double seconds =
        frames / static_cast<double>(plugin->sampleRate) * (1.0 + 4.0 * plugin->slowness);
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(seconds));
    while (Clock::now() < end) {
    }
    for (int c = 0; c < 2; ++c) std::memmove(outputs[c], inputs[c], sizeof(float) * frames);
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    SlowPlugin* plugin = new SlowPlugin;
    fillFixtureRecord(plugin->record, plugin, {dispatch, getParameter, setParameter, process}, 1,
                      fourCharCode('S', 'l', 'o', 'W'));
    return &plugin->record;
}
