// An instrument that writes a known signal for every note, so that a test
// can check the timing of its events to the frame: while keys are held, the
// left output carries the sum of key/128 and the right one the sum of
// velocity/128, both plus the inputs (which a host should keep silent for
// an instrument); an all-notes-off leaves -1 on the left for its frame. An
// event outside the block it came with writes NaN.
//   FAULT_FULL_VELOCITY  weighs each held key by 1 / (127 - velocity) on the right,
//                        a softer curve that is infinite at full velocity
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/tool/fixture_modules/fixture_record.h"

namespace {
#if defined(FAULT_FULL_VELOCITY)
constexpr bool kSoftCurve = true;
#else
constexpr bool kSoftCurve = false;
#endif

struct NotePlugin {
    AEffect record{};
    int velocities[16][128] = {};  // of the held keys, 0 when up
    // What the held keys put out, worked out again whenever an event
    // changes them rather than every frame.
    float keySum = 0.0f, velocitySum = 0.0f;
    std::vector<VstMidiEvent> pending;  // the next block's events
};

NotePlugin* self(AEffect* effect) { return static_cast<NotePlugin*>(effect->object); }

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    NotePlugin* plugin = self(effect);
    switch (opcode) {
        case effClose:
            delete plugin;
            return 1;
        case effProcessEvents: {
            const VstEvents* events = static_cast<const VstEvents*>(ptr);
            for (int32_t i = 0; i < events->numEvents; ++i)
                if (events->events[i]->type == kVstMidiType)
                    plugin->pending.push_back(*reinterpret_cast<const VstMidiEvent*>(events->events[i]));
            return 1;
        }
        case effCanDo:
            return std::strcmp(static_cast<const char*>(ptr), "receiveVstEvents") == 0 ||
                           std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0
                       ? 1
                       : 0;
        case effGetPlugCategory:
            return kPlugCategSynth;
        case effGetProductString:
            std::strcpy(static_cast<char*>(ptr), "Note Fixture");
            return 1;
        default:
            return 0;
    }
}

float getParameter(AEffect*, int32_t) { return 0.0f; }
void setParameter(AEffect*, int32_t, float) {}

// Applies one event; true for an all-notes-off.
bool apply(NotePlugin* plugin, const VstMidiEvent& event) {
    const unsigned status = static_cast<unsigned char>(event.midiData[0]);
    const int channel = static_cast<int>(status & 0x0F);
    const int key = event.midiData[1] & 0x7F, velocity = event.midiData[2] & 0x7F;
    switch (status & 0xF0) {
        case 0x90:
            plugin->velocities[channel][key] = velocity;
            return false;
        case 0x80:
            plugin->velocities[channel][key] = 0;
            return false;
        case 0xB0:
            if (key != 123) return false;
            for (int& held : plugin->velocities[channel]) held = 0;
            return true;
        default:
            return false;
    }
}

void process(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    NotePlugin* plugin = self(effect);
    size_t next = 0;
    for (int32_t i = 0; i < frames; ++i) {
        bool allOff = false, changed = false;
        while (next < plugin->pending.size() && plugin->pending[next].deltaFrames <= i) {
            allOff = apply(plugin, plugin->pending[next++]) || allOff;
            changed = true;
        }
        if (changed) {
            float keys = 0.0f, velocities = 0.0f;
            for (const auto& channel : plugin->velocities)
                for (int key = 0; key < 128; ++key)
                    if (channel[key] > 0) {
                        keys += key / 128.0f;
                        velocities += kSoftCurve ? 1.0f / static_cast<float>(127 - channel[key])
                                                 : channel[key] / 128.0f;
                    }
            plugin->keySum = keys;
            plugin->velocitySum = velocities;
        }
        outputs[0][i] = inputs[0][i] + (allOff ? -1.0f : plugin->keySum);
        outputs[1][i] = inputs[1][i] + plugin->velocitySum;
    }
    if (next < plugin->pending.size() && frames > 0)
        outputs[0][0] = std::numeric_limits<float>::quiet_NaN();
    plugin->pending.clear();
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    NotePlugin* plugin = new NotePlugin;
    plugin->pending.reserve(256);
    fillFixtureRecord(plugin->record, plugin, {dispatch, getParameter, setParameter, process}, 0,
                      fourCharCode('N', 'o', 't', 'E'), effFlagsIsSynth);
    return &plugin->record;
}
