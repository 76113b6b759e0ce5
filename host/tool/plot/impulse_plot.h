// The picture of an impulse response: the echo pattern of each output over
// time and the magnitude response of the first echo, drawn by gnuplot.
#pragma once

#include <string>

#include "host/library/audio_buffer.h"

struct ImpulsePlotRequest {
    std::string title;
    AudioBuffer response;  // what the plug-in made of the impulse
    float impulseHeight = 1.0f;  // the reference for the magnitude response
};

// Writes the PNG whole or not at all.
bool writeImpulsePlot(const std::string& pngPath, const ImpulsePlotRequest& request,
                      std::string& error);
