// A plug-in that asks its host for the time in every block and writes what
// it got, one output per field, on every frame of the block: the sample
// position (plus the frame's place in the block), the rate, the position in
// quarter notes, the tempo, the bar's start, the metre and the flags. Its
// last output holds, on its first frames, the host's answers to the
// capabilities it asked about when opened. Without a time record it writes
// -1 everywhere.
#include <cstring>

#include "tests/tool/fixture_modules/fixture_record.h"

namespace {
const char* const kCapabilities[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                     "offline", "receiveVstEvents", "sizeWindow",
                                     "openFileSelector"};
constexpr int kCapabilityCount = sizeof kCapabilities / sizeof kCapabilities[0];
constexpr int kOutputs = 9;

struct TransportPlugin {
    AEffect record{};
    audioMasterCallback host = nullptr;
    float answers[kCapabilityCount] = {};
};

TransportPlugin* self(AEffect* effect) { return static_cast<TransportPlugin*>(effect->object); }

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    TransportPlugin* plugin = self(effect);
    switch (opcode) {
        case effClose:
            delete plugin;
            return 1;
        case effOpen:
            for (int i = 0; i < kCapabilityCount; ++i) {
                char text[64];
                std::strcpy(text, kCapabilities[i]);
                plugin->answers[i] = static_cast<float>(
                    plugin->host(effect, audioMasterCanDo, 0, 0, text, 0.0f));
            }
            return 0;
        case effCanDo:  // it takes events, and ignores them
            return std::strcmp(static_cast<const char*>(ptr), "receiveVstEvents") == 0 ? 1 : 0;
        case effGetProductString:
            std::strcpy(static_cast<char*>(ptr), "Transport Fixture");
            return 1;
        default:
            return 0;
    }
}

float getParameter(AEffect*, int32_t) { return 0.0f; }
void setParameter(AEffect*, int32_t, float) {}

void process(AEffect* effect, float**, float** outputs, int32_t frames) {
    TransportPlugin* plugin = self(effect);
    const intptr_t answer = plugin->host(effect, audioMasterGetTime, 0,
                                         kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                                             kVstTimeSigValid,
                                         nullptr, 0.0f);
    const VstTimeInfo* time = reinterpret_cast<const VstTimeInfo*>(answer);
    for (int32_t i = 0; i < frames; ++i) {
        const float fields[kOutputs - 1] = {
            time ? static_cast<float>(time->samplePos + i) : -1.0f,
            time ? static_cast<float>(time->sampleRate) : -1.0f,
            time ? static_cast<float>(time->ppqPos) : -1.0f,
            time ? static_cast<float>(time->tempo) : -1.0f,
            time ? static_cast<float>(time->barStartPos) : -1.0f,
            time ? static_cast<float>(time->timeSigNumerator) : -1.0f,
            time ? static_cast<float>(time->timeSigDenominator) : -1.0f,
            time ? static_cast<float>(time->flags) : -1.0f,
        };
        for (int k = 0; k < kOutputs - 1; ++k) outputs[k][i] = fields[k];
        outputs[kOutputs - 1][i] = i < kCapabilityCount ? plugin->answers[i] : 0.0f;
    }
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    TransportPlugin* plugin = new TransportPlugin;
    plugin->host = host;
    fillFixtureRecord(plugin->record, plugin, {dispatch, getParameter, setParameter, process}, 0,
                      fourCharCode('T', 'i', 'm', 'E'));
    plugin->record.numOutputs = kOutputs;
    return &plugin->record;
}
