// --tempo and --time-signature on the command line: what the host's
// transport tells a plug-in that asks for the time.
#pragma once

#include <string>

#include "host/library/transport.h"
#include "host/tool/command_line/option_set.h"

struct TransportOptions {
    bool tempoGiven = false, metreGiven = false;
    double tempo = 120.0;
    int32_t numerator = 4, denominator = 4;

    // Declares --tempo and --time-signature, filling these.
    void declare(OptionSet& set);
    // The steady transport they give; a song's own when neither was given.
    Transport transport(const Transport* song = nullptr) const;
};
