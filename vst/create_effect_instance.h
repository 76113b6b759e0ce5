// The one function a plug-in built on these classes provides: it builds its
// own instance for the entry function.
#pragma once

#include "vst/audio_effect.h"

// Returns a new instance, or null when it could not be built.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
