// What a render tells the user on standard error beyond its result: what
// went into the audio that it did not ask for.
#pragma once

#include <string>

#include "host/library/offline_renderer.h"
#include "host/tool/audio_files/audio_file.h"

// longerTail names the option that asks for a longer tail than the cap.
void warnAboutRender(const RenderReport& report, const char* longerTail);

// Samples the file could not keep as they were: clipped, or not numbers.
void warnAboutFile(const AudioFileWriter& file, const std::string& path);
