// A module whose entry gives the host nothing, as a plug-in does that
// refuses to start.
#include "vst/aeffect.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    return nullptr;
}
