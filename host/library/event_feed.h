// MIDI messages at the frames where they happen, handed to a plug-in as a
// host does: before each block that holds some, one effProcessEvents with
// every message of the block, each placed by its deltaFrames.
#pragma once

#include <cstdint>
#include <vector>

#include "vst/aeffect.h"

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

    // The messages of the block of frames from start on, as the list the
    // plug-in reads during the call, valid until the next; null when there
    // are none. Blocks come in order; a message before start, which a
    // block of its own could not hold, goes at the block's first frame.
    VstEvents* block(int64_t start, int64_t frames);

    size_t messageCount() const { return messages.size(); }

private:
    std::vector<TimedMidiMessage> messages;
    size_t next = 0;
    std::vector<VstMidiEvent> records;
    std::vector<intptr_t> list;  // a VstEvents with room for every pointer
};
