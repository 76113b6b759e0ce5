#include "host/tool/validate/note_source.h"

#include <algorithm>
#include <cstddef>

namespace {
constexpr size_t kMostHeld = 8;

VstMidiEvent midiEvent(int32_t frame, uint8_t status, uint8_t first, uint8_t second) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
    event.deltaFrames = frame;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(first);
    event.midiData[2] = static_cast<char>(second);
    return event;
}

// The list's header is an int32 count and a pointer-sized word; the
// pointers follow.
static_assert(offsetof(VstEvents, events) == 2 * sizeof(intptr_t), "VstEvents' pointers follow two words");
}  // namespace

const std::vector<VstMidiEvent>& NoteSource::next(int64_t frames) {
    events.clear();
    if (frames <= 0) return events;
    for (uint64_t count = random.below(4); count > 0; --count) {
        const int32_t frame = static_cast<int32_t>(random.below(static_cast<uint64_t>(frames)));
        if (!held.empty() && (held.size() >= kMostHeld || random.chance(45))) {
            const size_t which = random.below(held.size());
            events.push_back(midiEvent(frame, 0x80, static_cast<uint8_t>(held[which]), 64));
            held.erase(held.begin() + static_cast<std::ptrdiff_t>(which));
        } else if (random.chance(4)) {
            events.push_back(midiEvent(frame, 0xB0, 123, 0));
            held.clear();
        } else {
            int key = static_cast<int>(24 + random.below(85));
            while (std::find(held.begin(), held.end(), key) != held.end()) key = 24 + (key - 23) % 85;
            const int velocity = random.chance(30) ? 127 : static_cast<int>(1 + random.below(127));
            events.push_back(midiEvent(frame, 0x90, static_cast<uint8_t>(key), static_cast<uint8_t>(velocity)));
            held.push_back(key);
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const VstMidiEvent& a, const VstMidiEvent& b) { return a.deltaFrames < b.deltaFrames; });
    return events;
}

std::vector<VstMidiEvent> allNotesOff() {
    std::vector<VstMidiEvent> events;
    for (uint8_t channel = 0; channel < 16; ++channel) {
        events.push_back(midiEvent(0, static_cast<uint8_t>(0xB0 | channel), 120, 0));
        events.push_back(midiEvent(0, static_cast<uint8_t>(0xB0 | channel), 123, 0));
    }
    return events;
}

std::string describeEvents(const std::vector<VstMidiEvent>& events) {
    std::string text;
    for (const VstMidiEvent& event : events) {
        const unsigned status = static_cast<unsigned char>(event.midiData[0]);
        const std::string first = std::to_string(event.midiData[1] & 0x7F);
        const std::string second = std::to_string(event.midiData[2] & 0x7F);
        std::string one;
        switch (status & 0xF0) {
            case 0x90: one = "note-on " + first + " " + second; break;
            case 0x80: one = "note-off " + first; break;
            default: one = "control " + first + " " + second; break;
        }
        if ((status & 0x0F) != 0) one += " on channel " + std::to_string((status & 0x0F) + 1);
        text += (text.empty() ? "" : ", ") + one + " at " + std::to_string(event.deltaFrames);
    }
    return text;
}

VstEvents* EventList::point(std::vector<VstMidiEvent>& events) {
    words.assign(2 + std::max<size_t>(events.size(), 2), 0);
    VstEvents* list = reinterpret_cast<VstEvents*>(words.data());
    list->numEvents = static_cast<int32_t>(events.size());
    VstEvent** pointers = reinterpret_cast<VstEvent**>(words.data() + 2);
    for (size_t i = 0; i < events.size(); ++i) pointers[i] = reinterpret_cast<VstEvent*>(&events[i]);
    return list;
}
