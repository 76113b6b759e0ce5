#include "host/tool/midi/midi_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <set>

#include <sys/stat.h>

#include "host/tool/files/output_file.h"

namespace {
constexpr unsigned char kNoteOff = 0x80, kNoteOn = 0x90, kControlChange = 0xB0;
constexpr unsigned char kSustain = 64, kAllNotesOff = 123;
constexpr double kMicrosecondsPerMinute = 60e6;
// A few bytes can ask for years of silence; no song a user means lasts a day.
constexpr double kLongestSong = 24.0 * 3600.0;

// The bytes of a file from a position to an end, every read checked.
class ByteReader {
public:
    ByteReader(const std::vector<uint8_t>& data, size_t begin, size_t end)
        : bytes(&data), at(begin), stop(end) {}

    bool done() const { return at >= stop; }
    size_t position() const { return at; }
    bool byte(unsigned char& value) {
        if (at >= stop) return false;
        value = (*bytes)[at++];
        return true;
    }
    bool number(size_t count, uint32_t& value) {
        value = 0;
        for (size_t i = 0; i < count; ++i) {
            unsigned char b;
            if (!byte(b)) return false;
            value = (value << 8) | b;
        }
        return true;
    }
    // A variable-length quantity: seven bits a byte, at most four bytes.
    bool quantity(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned char b;
            if (!byte(b)) return false;
            value = (value << 7) | (b & 0x7Fu);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool take(uint32_t count, std::vector<unsigned char>& out) {
        if (count > stop - at) return false;
        out.assign(bytes->begin() + static_cast<std::ptrdiff_t>(at),
                   bytes->begin() + static_cast<std::ptrdiff_t>(at + count));
        at += count;
        return true;
    }

private:
    const std::vector<uint8_t>* bytes;
    size_t at, stop;
};

struct TrackEvent {
    enum class Kind { Channel, Tempo, Metre };
    uint64_t tick;
    Kind kind;
    unsigned char bytes[3];
    uint32_t tempo;  // microseconds per quarter note
    int32_t numerator, denominator;
};

// The data bytes of a channel message, by its status.
size_t dataBytes(unsigned char status) {
    const unsigned kind = status & 0xF0u;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool readTrack(ByteReader track, std::vector<TrackEvent>& events, uint64_t& end,
               std::string& error) {
    uint64_t tick = 0;
    unsigned char running = 0;  // the status a message without one repeats
    std::vector<unsigned char> data;
    const auto broken = [&](const char* what) {
        error = std::string(what) + " at byte " + std::to_string(track.position());
        return false;
    };
    while (!track.done()) {
        uint32_t delta = 0;
        if (!track.quantity(delta)) return broken("a truncated or overlong delta time");
        tick += delta;
        unsigned char first = 0;
        if (!track.byte(first)) return broken("a truncated event");
        if (first == 0xFF) {
            unsigned char type;
            uint32_t length;
            if (!track.byte(type) || !track.quantity(length) || !track.take(length, data))
                return broken("a truncated meta event");
            if (type == 0x2F) break;  // the track's end
            if (type == 0x51 && length == 3) {
                const uint32_t tempo = (uint32_t{data[0]} << 16) | (uint32_t{data[1]} << 8) | data[2];
                if (tempo == 0) return broken("a tempo of zero microseconds per quarter note");
                events.push_back({tick, TrackEvent::Kind::Tempo, {0, 0, 0}, tempo, 0, 0});
            } else if (type == 0x58 && length >= 2) {
                if (data[0] == 0 || data[1] > 6) return broken("a time signature out of range");
                events.push_back({tick, TrackEvent::Kind::Metre, {0, 0, 0}, 0, data[0],
                                  int32_t{1} << data[1]});
            }
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            uint32_t length;
            if (!track.quantity(length) || !track.take(length, data))
                return broken("a truncated system exclusive event");
            running = 0;
            continue;
        }
        if (first > 0xF0) continue;  // system common and real-time bytes have no place here
        TrackEvent event{tick, TrackEvent::Kind::Channel, {0, 0, 0}, 0, 0, 0};
        size_t have = 0;
        if (first & 0x80) {
            running = first;
        } else {
            if (!running) return broken("a data byte without a status");
            event.bytes[1] = first;
            have = 1;
        }
        event.bytes[0] = running;
        for (size_t i = have; i < dataBytes(running); ++i) {
            unsigned char b;
            if (!track.byte(b)) return broken("a truncated channel message");
            if (b & 0x80) return broken("a status byte where a data byte belongs");
            event.bytes[1 + i] = b;
        }
        events.push_back(event);
    }
    end = std::max(end, tick);
    return true;
}

bool parseSong(const std::vector<uint8_t>& bytes, MidiSong& song, std::string& error) {
    ByteReader file(bytes, 0, bytes.size());
    std::vector<unsigned char> id;
    uint32_t length = 0, format = 0, trackCount = 0, division = 0;
    if (!file.take(4, id) || std::string(id.begin(), id.end()) != "MThd" || !file.number(4, length) ||
        length < 6 || !file.number(2, format) || !file.number(2, trackCount) ||
        !file.number(2, division) || !file.take(length - 6, id)) {
        error = "it is no Standard MIDI File (no MThd header)";
        return false;
    }
    if (format > 1) {
        error = "it is a type " + std::to_string(format) +
                " MIDI file of independent patterns; types 0 and 1 are played";
        return false;
    }
    if (division == 0) {
        error = "its header gives no time division";
        return false;
    }
    std::vector<TrackEvent> events;
    uint64_t end = 0;
    for (uint32_t t = 0; t < trackCount && !file.done();) {
        uint32_t size = 0;
        if (!file.take(4, id) || !file.number(4, size)) {
            error = "a truncated chunk header at byte " + std::to_string(file.position());
            return false;
        }
        const size_t start = file.position();
        if (size > bytes.size() - start) {
            error = "track " + std::to_string(t + 1) + " runs past the end of the file";
            return false;
        }
        // Chunks of other kinds are skipped, as the format asks.
        if (std::string(id.begin(), id.end()) == "MTrk") {
            if (!readTrack(ByteReader(bytes, start, start + size), events, end, error)) {
                error = "track " + std::to_string(t + 1) + ": " + error;
                return false;
            }
            ++t;
        }
        file = ByteReader(bytes, start + size, bytes.size());
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TrackEvent& a, const TrackEvent& b) { return a.tick < b.tick; });

    // Ticks to seconds: through the tempo map for quarter-note divisions,
    // at a fixed rate for SMPTE ones (frames per second, ticks per frame).
    song = MidiSong{};
    const bool smpte = division & 0x8000u;
    double ticksPerSecond = 0.0;
    if (smpte) {
        const int framesPerSecond = -static_cast<int8_t>(division >> 8);
        const double fps = framesPerSecond == 29 ? 30000.0 / 1001.0 : framesPerSecond;
        ticksPerSecond = fps * static_cast<double>(division & 0xFFu);
        if (!(ticksPerSecond > 0.0)) {
            error = "its SMPTE time division is not valid";
            return false;
        }
        song.hasTempoMap = false;
    }
    const double ticksPerQuarter = smpte ? 1.0 : static_cast<double>(division);
    const auto secondsAt = [&](uint64_t tick) {
        return smpte ? static_cast<double>(tick) / ticksPerSecond
                     : song.transport.secondsAt(static_cast<double>(tick) / ticksPerQuarter);
    };
    for (const TrackEvent& event : events) {
        const double quarter = static_cast<double>(event.tick) / ticksPerQuarter;
        switch (event.kind) {
            case TrackEvent::Kind::Tempo:
                if (!smpte) song.transport.changeTempo(quarter, kMicrosecondsPerMinute / event.tempo);
                break;
            case TrackEvent::Kind::Metre:
                if (!smpte) song.transport.changeMetre(quarter, event.numerator, event.denominator);
                break;
            case TrackEvent::Kind::Channel:
                song.messages.push_back(
                    {secondsAt(event.tick), {event.bytes[0], event.bytes[1], event.bytes[2]}});
                break;
        }
    }
    song.lengthSeconds = secondsAt(end);
    if (!(song.lengthSeconds <= kLongestSong)) {
        error = "it lasts " + std::to_string(static_cast<long long>(song.lengthSeconds / 3600.0)) +
                " hours; songs of up to 24 hours are played";
        return false;
    }
    return true;
}

int64_t frameOf(double seconds, double sampleRate) {
    return static_cast<int64_t>(std::llround(seconds * sampleRate));
}
}  // namespace

bool readMidiFile(const std::string& path, MidiSong& song, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes, error)) return false;
    if (!parseSong(bytes, song, error)) {
        error = "cannot play " + path + ": " + error;
        return false;
    }
    return true;
}

std::vector<TimedMidiMessage> MidiSong::framesAt(double sampleRate) const {
    std::vector<TimedMidiMessage> timed;
    std::set<int> held;  // channel * 128 + key
    std::set<int> channels;
    for (const Message& message : messages) {
        timed.push_back({frameOf(message.seconds, sampleRate),
                         {message.bytes[0], message.bytes[1], message.bytes[2]}});
        const unsigned kind = message.bytes[0] & 0xF0u;
        const int channel = message.bytes[0] & 0x0F;
        const int note = channel * 128 + message.bytes[1];
        channels.insert(channel);
        if (kind == kNoteOn && message.bytes[2] > 0) held.insert(note);
        else if (kind == kNoteOff || kind == kNoteOn) held.erase(note);
    }
    const int64_t end = lengthFrames(sampleRate);
    for (int note : held)
        timed.push_back({end,
                         {static_cast<unsigned char>(kNoteOff | (note / 128)),
                          static_cast<unsigned char>(note % 128), 0}});
    for (int channel : channels) {
        const unsigned char status = static_cast<unsigned char>(kControlChange | channel);
        timed.push_back({end, {status, kSustain, 0}});
        timed.push_back({end, {status, kAllNotesOff, 0}});
    }
    return timed;
}

int64_t MidiSong::lengthFrames(double sampleRate) const { return frameOf(lengthSeconds, sampleRate); }

bool looksLikeMidiFile(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && path.find('/', dot) == std::string::npos) {
        std::string extension = path.substr(dot + 1);
        for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (extension == "mid" || extension == "midi" || extension == "smf") return true;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char head[4] = {};
    const size_t got = std::fread(head, 1, 4, file);
    std::fclose(file);
    return got == 4 && std::string(head, 4) == "MThd";
}
