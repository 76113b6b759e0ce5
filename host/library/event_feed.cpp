#include "host/library/event_feed.h"

#include <algorithm>

EventFeed::EventFeed(std::vector<TimedMidiMessage> all) : messages(std::move(all)) {
    std::stable_sort(messages.begin(), messages.end(),
                     [](const TimedMidiMessage& a, const TimedMidiMessage& b) { return a.frame < b.frame; });
}

const TimedMidiMessage* EventFeed::block(int64_t start, int64_t frames, size_t* count) {
    size_t end = next;
    while (end < messages.size() && messages[end].frame < start + frames) ++end;
    *count = end - next;
    if (*count == 0) return nullptr;
    const TimedMidiMessage* first = messages.data() + next;
    next = end;
    return first;
}
