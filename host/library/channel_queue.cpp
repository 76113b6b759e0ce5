#include "host/library/channel_queue.h"

#include <algorithm>

void ChannelQueue::makeRoom() {
    // What was taken is dropped once it is as much as what is left, so each
    // frame is moved at most once on average.
    if (head == 0 || head < count) return;
    for (auto& channel : channels)
        channel.erase(channel.begin(), channel.begin() + static_cast<std::ptrdiff_t>(head));
    head = 0;
}

void ChannelQueue::push(const float* const* from, size_t offset, size_t frames) {
    makeRoom();
    for (size_t c = 0; c < channels.size(); ++c)
        channels[c].insert(channels[c].end(), from[c] + offset, from[c] + offset + frames);
    count += frames;
}

void ChannelQueue::pushSilence(size_t frames) {
    makeRoom();
    for (auto& channel : channels) channel.insert(channel.end(), frames, 0.0f);
    count += frames;
}

void ChannelQueue::pop(float* const* to, size_t frames) {
    for (size_t c = 0; c < channels.size(); ++c)
        std::copy_n(channels[c].begin() + static_cast<std::ptrdiff_t>(head), frames, to[c]);
    head += frames;
    count -= frames;
}
