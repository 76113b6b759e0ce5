#include "host/library/channel_blocks.h"

ChannelBlocks::ChannelBlocks(size_t channelCount, size_t frames)
    : blocks(channelCount, std::vector<float>(frames + 1, 0.0f)),
      pointers(channelCount + 1),
      offsets(channelCount) {
    for (size_t c = 0; c < channelCount; ++c) pointers[c] = blocks[c].data();
}

const float* const* ChannelBlocks::from(size_t frame) {
    for (size_t c = 0; c < blocks.size(); ++c) offsets[c] = blocks[c].data() + frame;
    return offsets.data();
}
