// Standard MIDI Files the tests write themselves, byte by byte, so that
// the tool's reader is checked against the format rather than trusted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class MidiTrack {
public:
    // Any event after delta ticks; a channel message may leave out its
    // status byte to repeat the last one (running status).
    MidiTrack& event(uint32_t delta, const std::vector<uint8_t>& bytes);
    MidiTrack& noteOn(uint32_t delta, int channel, int key, int velocity);
    MidiTrack& noteOff(uint32_t delta, int channel, int key);
    MidiTrack& tempo(uint32_t delta, uint32_t microsecondsPerQuarter);
    MidiTrack& timeSignature(uint32_t delta, int numerator, int denominatorPower);
    // The track's end, after delta ticks; written at once if never called.
    MidiTrack& end(uint32_t delta);

    std::vector<uint8_t> chunk() const;

private:
    std::vector<uint8_t> bytes;
    bool ended = false;
};

// division: ticks per quarter note, or an SMPTE division's 16 bits.
bool writeMidiFile(const std::string& path, int format, uint16_t division,
                   const std::vector<MidiTrack>& tracks);
