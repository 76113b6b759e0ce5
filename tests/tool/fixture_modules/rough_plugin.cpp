// A plug-in with rough edges real ones have: one sample in a hundred that it
// writes is not a number, and its texts are not all valid UTF-8 (an
// overlong '/', a surrogate, a code point past U+10FFFF, a Latin-1 byte)
// beside valid ones.
#include <cmath>
#include <cstring>
#include <limits>

#include "tests/tool/fixture_modules/fixture_record.h"

namespace {
struct RoughPlugin {
    AEffect record{};
    float parameter = 0.5f;
    size_t frame = 0;  // frames processed so far
};

RoughPlugin* self(AEffect* effect) { return static_cast<RoughPlugin*>(effect->object); }

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effClose:
            delete self(effect);
            return 1;
        case effGetEffectName:
            std::strcpy(text, "Over\xC0\xAFlong");
            return 1;
        case effGetVendorString:
            std::strcpy(text, "Sur\xED\xA0\x80rogate");
            return 1;
        case effGetProductString:
            std::strcpy(text, "Rough Fixture");
            return 1;
        case effGetParamName:
            std::strcpy(text, "Gr\xC3\xB6\xC3\x9F" "e");
            return 0;
        case effGetParamLabel:
            std::strcpy(text, "\xF4\x90\x80\x80");
            return 0;
        case effGetParamDisplay:
            std::strcpy(text, "caf\xE9");
            return 0;
        case effGetProgramName:
            std::strcpy(text, "\xE0\x80\xAF");
            return 0;
        default:
            return 0;
    }
}

float getParameter(AEffect* effect, int32_t) { return self(effect)->parameter; }
void setParameter(AEffect* effect, int32_t, float value) { self(effect)->parameter = value; }

void process(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    RoughPlugin* plugin = self(effect);
    for (int32_t i = 0; i < frames; ++i) {
        const bool rough = (plugin->frame + static_cast<size_t>(i)) % 100 == 0;
        for (int c = 0; c < 2; ++c)
            outputs[c][i] = rough ? std::numeric_limits<float>::quiet_NaN() : inputs[c][i];
    }
    plugin->frame += static_cast<size_t>(frames);
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    RoughPlugin* plugin = new RoughPlugin;
    fillFixtureRecord(plugin->record, plugin, {dispatch, getParameter, setParameter, process}, 1,
                      fourCharCode('R', 'o', 'u', 'G'));
    return &plugin->record;
}
