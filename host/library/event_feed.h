// MIDI messages at the frames where they happen, handed to a plug-in block
// by block: before each block that holds some, every message of the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TimedMidiMessage {
    int64_t frame;         // from the start of the render
    unsigned char bytes[3];  // status and data; unused bytes 0
};

class EventFeed {
public:
    // The messages in any order; those at one frame keep theirs.
    explicit EventFeed(std::vector<TimedMidiMessage> messages);
    EventFeed(const EventFeed&) = delete;
    EventFeed& operator=(const EventFeed&) = delete;

    // The messages of the block of frames from start on, *count of them,
    // valid until the next call; null when there are none. Blocks come in
    // order; a message before start, which a block of its own could not
    // hold, belongs at the block's first frame.
    const TimedMidiMessage* block(int64_t start, int64_t frames, size_t* count);

    size_t messageCount() const { return messages.size(); }

private:
    std::vector<TimedMidiMessage> messages;
    size_t next = 0;
};
