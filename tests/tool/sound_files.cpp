#include "tests/tool/sound_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

Sound clickSound(int rate, size_t channels, size_t frames, float height) {
    Sound sound;
    sound.rate = rate;
    sound.channels.assign(channels, std::vector<float>(frames, 0.0f));
    for (auto& channel : sound.channels) channel[0] = height;
    return sound;
}

Sound noiseSound(int rate, size_t channels, size_t frames, float height, unsigned seed) {
    Sound sound;
    sound.rate = rate;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-height, height);
    sound.channels.assign(channels, std::vector<float>(frames));
    for (auto& channel : sound.channels)
        for (float& sample : channel) sample = uniform(random);
    return sound;
}

bool writeSound(const std::string& path, const Sound& sound) {
    SF_INFO info{};
    info.samplerate = sound.rate;
    info.channels = static_cast<int>(sound.channels.size());
    info.format = sound.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        ADD_FAILURE() << "cannot write " << path << ": " << sf_strerror(nullptr);
        return false;
    }
    std::vector<float> interleaved;
    for (size_t i = 0; i < sound.frames(); ++i)
        for (const auto& channel : sound.channels) interleaved.push_back(channel[i]);
    const sf_count_t written =
        sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(sound.frames()));
    sf_close(file);
    return written == static_cast<sf_count_t>(sound.frames());
}

bool writeSilence(const std::string& path, int format, int rate, size_t channels, size_t frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(channels);
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        ADD_FAILURE() << "cannot write " << path << ": " << sf_strerror(nullptr);
        return false;
    }
    const size_t block = 1 << 16;
    const std::vector<float> zeros(block * channels, 0.0f);
    bool written = true;
    for (size_t done = 0; done < frames && written; done += block) {
        const sf_count_t count = static_cast<sf_count_t>(std::min(block, frames - done));
        written = sf_writef_float(file, zeros.data(), count) == count;
    }
    sf_close(file);
    return written;
}

SoundShape soundShape(const std::string& path) {
    SoundShape shape;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return shape;
    sf_close(file);
    shape.rate = info.samplerate;
    shape.format = info.format;
    shape.channels = info.channels;
    shape.frames = info.frames;
    return shape;
}

Sound readSound(const std::string& path) {
    Sound sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
        return sound;
    }
    std::vector<float> interleaved(static_cast<size_t>(info.frames) *
                                   static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    sound.rate = info.samplerate;
    sound.format = info.format;
    sound.channels.assign(static_cast<size_t>(info.channels),
                          std::vector<float>(static_cast<size_t>(got)));
    for (size_t i = 0; i < static_cast<size_t>(got); ++i)
        for (size_t c = 0; c < sound.channels.size(); ++c)
            sound.channels[c][i] = interleaved[i * sound.channels.size() + c];
    return sound;
}

size_t firstNonZero(const std::vector<float>& channel, size_t from) {
    for (size_t i = from; i < channel.size(); ++i)
        if (channel[i] != 0.0f) return i;
    return channel.size();
}
