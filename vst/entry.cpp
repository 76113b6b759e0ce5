// The module's entry function, exported under the two names hosts look for.
#include "vst/create_effect_instance.h"

#if defined(_WIN32)
#define VST_EXPORT __declspec(dllexport)
#else
#define VST_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VST_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster) {
    // Without a callback there is no host to answer the version query.
    if (!audioMaster) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = createEffectInstance(audioMaster);
    return effect ? effect->getAeffect() : nullptr;
}

#if !defined(_WIN32)
// Older hosts look for "main". C++ cannot name a function so, so the symbol is
// set to the same address at assembly level.
__asm__(".globl main\n.type main, @function\n.set main, VSTPluginMain");
#endif
