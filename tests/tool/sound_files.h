// Audio files for the tests, written and read with libsndfile directly, so
// that the tool's own file code is checked rather than trusted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <sndfile.h>

struct Sound {
    int rate = 44100;
    int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    std::vector<std::vector<float>> channels;

    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Silence of the given shape with height at frame 0 of every channel.
Sound clickSound(int rate, size_t channels, size_t frames, float height);
// Uniform noise from -height to height.
Sound noiseSound(int rate, size_t channels, size_t frames, float height, unsigned seed);

bool writeSound(const std::string& path, const Sound& sound);
// Silence of any length, written a block at a time.
bool writeSilence(const std::string& path, int format, int rate, size_t channels, size_t frames);
// The file's layout and length, without its samples (channels stays empty).
struct SoundShape {
    int rate = 0;
    int format = 0;
    int channels = 0;
    long long frames = -1;  // -1 when the file cannot be read
};
SoundShape soundShape(const std::string& path);
// An empty sound, and a test failure, when the file cannot be read.
Sound readSound(const std::string& path);

// The first frame at or after from that is not 0; the length when none.
size_t firstNonZero(const std::vector<float>& channel, size_t from = 0);
