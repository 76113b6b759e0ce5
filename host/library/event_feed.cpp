#include "host/library/event_feed.h"

#include <algorithm>
#include <cstddef>

EventFeed::EventFeed(std::vector<TimedMidiMessage> all) : messages(std::move(all)) {
    std::stable_sort(messages.begin(), messages.end(),
                     [](const TimedMidiMessage& a, const TimedMidiMessage& b) { return a.frame < b.frame; });
}

VstEvents* EventFeed::block(int64_t start, int64_t frames) {
    size_t end = next;
    while (end < messages.size() && messages[end].frame < start + frames) ++end;
    const size_t count = end - next;
    if (count == 0) return nullptr;

    records.assign(count, VstMidiEvent{});
    for (size_t i = 0; i < count; ++i) {
        const TimedMidiMessage& message = messages[next + i];
        VstMidiEvent& record = records[i];
        record.type = kVstMidiType;
        record.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
        record.deltaFrames = static_cast<int32_t>(std::max<int64_t>(message.frame - start, 0));
        for (size_t b = 0; b < 3; ++b) record.midiData[b] = static_cast<char>(message.bytes[b]);
    }
    next = end;

    // The list's pointers run on past the two of its declaration.
    const size_t bytes =
        std::max(sizeof(VstEvents), offsetof(VstEvents, events) + count * sizeof(VstEvent*));
    list.assign((bytes + sizeof(intptr_t) - 1) / sizeof(intptr_t), 0);
    VstEvents* events = reinterpret_cast<VstEvents*>(list.data());
    events->numEvents = static_cast<int32_t>(count);
    VstEvent** pointers = reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(events) +
                                                       offsetof(VstEvents, events));
    for (size_t i = 0; i < count; ++i) pointers[i] = reinterpret_cast<VstEvent*>(&records[i]);
    return events;
}
