#include "clap/stereo_channels.h"

namespace varnolet_clap {

namespace {

// The channels of a port as the host gave them: null beyond its count.
// Only the first two are ever read, so a count that overstates what the
// host's array holds costs nothing beyond them.
float* channel(const vclap_audio_buffer_t* ports, uint32_t portCount, uint32_t index) {
    if (!ports || portCount == 0 || !ports[0].data32 || index >= ports[0].channel_count)
        return nullptr;
    return ports[0].data32[index];
}

}  // namespace

StereoChannels stereoChannels(const vclap_process_t& block) {
    StereoChannels c{};
    c.inLeft = channel(block.audio_inputs, block.audio_inputs_count, 0);
    const bool monoInput = block.audio_inputs_count > 0 && block.audio_inputs &&
                           block.audio_inputs[0].channel_count == 1;
    c.inRight = monoInput ? c.inLeft : channel(block.audio_inputs, block.audio_inputs_count, 1);
    c.outLeft = channel(block.audio_outputs, block.audio_outputs_count, 0);
    c.outRight = channel(block.audio_outputs, block.audio_outputs_count, 1);
    return c;
}

}  // namespace varnolet_clap
