// One block of samples per channel, with the array of channel pointers the
// interface passes. Each block has a frame to spare and the array a null
// after the last channel, so a plug-in that reads one too far finds nothing
// that belongs to anyone.
#pragma once

#include <cstddef>
#include <vector>

class ChannelBlocks {
public:
    ChannelBlocks(size_t channelCount, size_t frames);
    ChannelBlocks(const ChannelBlocks&) = delete;
    ChannelBlocks& operator=(const ChannelBlocks&) = delete;

    size_t channelCount() const { return blocks.size(); }
    float** data() { return pointers.data(); }
    float* operator[](size_t channel) { return blocks[channel].data(); }
    const float* operator[](size_t channel) const { return blocks[channel].data(); }
    // The channels from a frame on, for handing part of a block on.
    const float* const* from(size_t frame);

private:
    std::vector<std::vector<float>> blocks;
    std::vector<float*> pointers;
    std::vector<const float*> offsets;
};
