// A plug-in whose whole state is one opaque chunk, as many plug-ins keep it,
// for the host's chunk presets. Its one parameter is the chunk's first byte.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/tool/fixture_modules/fixture_record.h"

namespace {
struct ChunkPlugin {
    AEffect record{};
    std::vector<unsigned char> state;
};

ChunkPlugin* self(AEffect* effect) { return static_cast<ChunkPlugin*>(effect->object); }

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t, intptr_t value, void* ptr, float) {
    ChunkPlugin* plugin = self(effect);
    switch (opcode) {
        case effClose:
            delete plugin;
            return 1;
        case effGetChunk:
            *static_cast<void**>(ptr) = plugin->state.data();
            return static_cast<intptr_t>(plugin->state.size());
        case effSetChunk: {
            const unsigned char* bytes = static_cast<const unsigned char*>(ptr);
            plugin->state.assign(bytes, bytes + value);
            return 1;
        }
        case effGetParamName:
            std::strcpy(static_cast<char*>(ptr), "First byte");
            return 0;
        case effGetParamDisplay:
            std::snprintf(static_cast<char*>(ptr), 8, "%d",
                          plugin->state.empty() ? -1 : plugin->state[0]);
            return 0;
        case effGetProgramName:
            std::strcpy(static_cast<char*>(ptr), "Chunk");
            return 0;
        default:
            return 0;
    }
}

float getParameter(AEffect* effect, int32_t) {
    const ChunkPlugin* plugin = self(effect);
    return plugin->state.empty() ? 0.0f : plugin->state[0] / 255.0f;
}

void setParameter(AEffect* effect, int32_t, float value) {
    ChunkPlugin* plugin = self(effect);
    if (!plugin->state.empty())
        plugin->state[0] = static_cast<unsigned char>(std::lround(value * 255.0f));
}

void copyThrough(AEffect*, float** inputs, float** outputs, int32_t frames) {
    for (int c = 0; c < 2; ++c) std::memmove(outputs[c], inputs[c], sizeof(float) * frames);
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    ChunkPlugin* plugin = new ChunkPlugin;
    const char initial[] = "chunk state v1";
    plugin->state.assign(initial, initial + 14);
    fillFixtureRecord(plugin->record, plugin, {dispatch, getParameter, setParameter, copyThrough}, 1,
                      fourCharCode('C', 'h', 'N', 'k'), effFlagsProgramChunks, 3);
    return &plugin->record;
}
