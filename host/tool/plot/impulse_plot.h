// The picture of an impulse response, drawn by gnuplot: each output over
// time, and the magnitude response of the first echo for a delay or of the
// whole response for anything else. Many outputs are drawn as an overview,
// one row per output.
#pragma once

#include <string>

#include "host/library/audio_buffer.h"

struct ImpulsePlotRequest {
    std::string title;
    AudioBuffer response;        // what the plug-in made of the impulse
    float impulseHeight = 1.0f;  // the reference for the magnitude response
    bool decibels = false;       // levels in dB full scale rather than amplitudes
};

// More outputs than this are drawn as an overview.
constexpr size_t kMostOutputPanels = 8;

// Writes the PNG whole or not at all; drawn says what it shows beyond the
// response over time ("magnitude response of the first echo (frames 8820
// to 17639)"), written
// where it went ("standard output" for "-").
bool writeImpulsePlot(const std::string& pngPath, const ImpulsePlotRequest& request,
                      std::string& drawn, std::string& written, std::string& error);

// Warns when the name says a picture of another kind (".jpg"): the picture
// is a PNG whatever its name.
void warnAboutPictureName(const std::string& path);
