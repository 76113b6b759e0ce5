// Frames waiting to be handed on, one array per channel: what a plug-in gave
// beyond what was asked of it so far.
#pragma once

#include <cstddef>
#include <vector>

class ChannelQueue {
public:
    explicit ChannelQueue(size_t channelCount) : channels(channelCount) {}

    size_t frames() const { return count; }
    void push(const float* const* from, size_t offset, size_t frames);
    void pushSilence(size_t frames);
    // Takes that many frames, which must be there, from the front.
    void pop(float* const* to, size_t frames);

private:
    void makeRoom();

    std::vector<std::vector<float>> channels;
    size_t head = 0;   // frames already taken from the front of each channel
    size_t count = 0;  // frames waiting, kept also when there are no channels
};
