// Options several commands take alike, each declared here once: --rate,
// --seconds, --json, --format and --no-latency-compensation. (The plug-in settings, a chain's options
// and the transport are declared beside what they fill: sessions/.)
#pragma once

#include <string>

#include "host/tool/command_line/option_set.h"

constexpr double kDefaultSampleRate = 44100.0;

// --rate HZ, from 1 to 768 kHz.
void declareRate(OptionSet& set, double& rate, const char* help = "sample rate (default 44100)");
// --seconds S, above 0 and up to most; with automatic, also "auto", which
// sets it (and leaves seconds as it was).
void declareSeconds(OptionSet& set, const char* help, double most, double& seconds,
                    bool* automatic = nullptr);
// --json: the report as JSON.
void declareJson(OptionSet& set, bool& json, const char* help = "the same as JSON");
// --format TYPE[:ENCODING], checked as it is read.
void declareFormat(OptionSet& set, std::string& format, const char* help);
// --no-latency-compensation: the plug-ins' delays stay in what comes out.
void declareKeepLatency(OptionSet& set, bool& keep, const char* what);
