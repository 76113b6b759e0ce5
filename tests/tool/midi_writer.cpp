#include "tests/tool/midi_writer.h"

#include <fstream>

namespace {
void quantity(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (count-- > 0) out.push_back(static_cast<uint8_t>(groups[count] | (count ? 0x80 : 0)));
}

void bigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
}  // namespace

MidiTrack& MidiTrack::event(uint32_t delta, const std::vector<uint8_t>& data) {
    quantity(bytes, delta);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
}

MidiTrack& MidiTrack::noteOn(uint32_t delta, int channel, int key, int velocity) {
    return event(delta, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key),
                         static_cast<uint8_t>(velocity)});
}

MidiTrack& MidiTrack::noteOff(uint32_t delta, int channel, int key) {
    return event(delta, {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 64});
}

MidiTrack& MidiTrack::tempo(uint32_t delta, uint32_t microsecondsPerQuarter) {
    std::vector<uint8_t> meta = {0xFF, 0x51, 0x03};
    bigEndian(meta, microsecondsPerQuarter, 3);
    return event(delta, meta);
}

MidiTrack& MidiTrack::timeSignature(uint32_t delta, int numerator, int denominatorPower) {
    return event(delta, {0xFF, 0x58, 0x04, static_cast<uint8_t>(numerator),
                         static_cast<uint8_t>(denominatorPower), 24, 8});
}

MidiTrack& MidiTrack::end(uint32_t delta) {
    ended = true;
    return event(delta, {0xFF, 0x2F, 0x00});
}

std::vector<uint8_t> MidiTrack::chunk() const {
    std::vector<uint8_t> body = bytes;
    if (!ended) body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> out = {'M', 'T', 'r', 'k'};
    bigEndian(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool writeMidiFile(const std::string& path, int format, uint16_t division,
                   const std::vector<MidiTrack>& tracks) {
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    bigEndian(file, 6, 4);
    bigEndian(file, static_cast<uint32_t>(format), 2);
    bigEndian(file, static_cast<uint32_t>(tracks.size()), 2);
    bigEndian(file, division, 2);
    for (const MidiTrack& track : tracks) {
        const std::vector<uint8_t> chunk = track.chunk();
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}
