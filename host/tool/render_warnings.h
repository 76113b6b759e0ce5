// What a render tells the user on standard error beyond its result: what
// went into the audio that it did not ask for.
#pragma once

#include "host/library/offline_renderer.h"

// longerTail names the option that asks for a longer tail than the cap.
void warnAboutRender(const RenderReport& report, const char* longerTail);
