// Frames waiting to be handed on, one array per channel: what a plug-in gave
// beyond what was asked of it so far.
#pragma once

#include <cstddef>
#include <vector>

class ChannelQueue {
public:
    explicit ChannelQueue(size_t channelCount) : channels(channelCount) {}

    size_t frames() const { return channels.empty() ? 0 : channels[0].size() - head; }
    void push(const float* const* from, size_t offset, size_t count);
    void pushSilence(size_t count);
    // Takes count frames, which must be there, from the front.
    void pop(float* const* to, size_t count);

private:
    void makeRoom();

    std::vector<std::vector<float>> channels;
    size_t head = 0;  // frames already taken from the front of each channel
};
