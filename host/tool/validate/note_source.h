// The notes a process operation plays an instrument, one list before each
// block as hosts send them: drawn from the operation's seed and the blocks
// before, each at a frame within its block and in order, the keys held
// followed so that note-offs release keys that are down, at most eight at
// once. Velocities of 127 come often, as from keyboards played hard and
// from step sequencers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/tool/validate/seeded_random.h"
#include "vst/aeffect.h"

class NoteSource {
public:
    explicit NoteSource(uint32_t seed) : random(seed) {}

    // The events of the next block of that many frames; none for 0 frames.
    const std::vector<VstMidiEvent>& next(int64_t frames);

private:
    SeededRandom random;
    std::vector<int> held;
    std::vector<VstMidiEvent> events;
};

// What a host sends an instrument when it stops or resets: all notes off,
// and all sound off, on every channel.
std::vector<VstMidiEvent> allNotesOff();

// "note-on 60 127 at 12, note-off 48 at 300", for the log.
std::string describeEvents(const std::vector<VstMidiEvent>& events);

// A VstEvents list pointing at events the caller keeps.
class EventList {
public:
    VstEvents* point(std::vector<VstMidiEvent>& events);

private:
    std::vector<intptr_t> words;
};
