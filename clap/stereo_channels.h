// The two channels the effect reads and the two it writes, picked from a
// host's process call: the first port's first two channels each way. One
// input channel feeds both sides; a channel, port or buffer the host left out
// is null, which the effect takes as silence in and discards out.
#pragma once

#include "clap/clap_interface.h"

namespace varnolet_clap {

struct StereoChannels {
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;
};

StereoChannels stereoChannels(const vclap_process_t& block);

}  // namespace varnolet_clap
