// Standard MIDI Files (types 0 and 1) as a render plays them: every channel
// message of every track at its time in seconds, through the file's tempo
// map, and what the file says of tempo and metre for the transport.
// System exclusive and meta events other than tempo, time signature and
// the track's end are skipped.
#pragma once

#include <string>
#include <vector>

#include "host/library/event_feed.h"
#include "host/library/transport.h"

struct MidiSong {
    struct Message {
        double seconds;
        unsigned char bytes[3];
    };
    std::vector<Message> messages;  // in order of time, tracks merged
    double lengthSeconds = 0.0;     // to the last event, the tracks' ends included
    // The file's tempo map and time signatures (120 beats per minute in 4/4
    // until it says otherwise); files timed in SMPTE frames have none.
    Transport transport;
    bool hasTempoMap = true;

    // Every message at its frame, then, at the song's end, a note-off for
    // each note still held and sustain off and all notes off on every
    // channel the song used.
    std::vector<TimedMidiMessage> framesAt(double sampleRate) const;
    // The frame of the song's end.
    int64_t lengthFrames(double sampleRate) const;
};

// False, with the reason, for a file that cannot be read or is no Standard
// MIDI File of type 0 or 1.
bool readMidiFile(const std::string& path, MidiSong& song, std::string& error);

// Whether the path names a MIDI file: by its extension (.mid, .midi, .smf)
// or, for a regular file, by its first bytes.
bool looksLikeMidiFile(const std::string& path);
