// A module whose entry hands back a record without the VST magic number.
#include "vst/aeffect.h"

namespace {
AEffect record{};
}

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    record.magic = fourCharCode('N', 'o', 'p', 'e');
    record.numInputs = 2;
    record.numOutputs = 2;
    return &record;
}
