#include "host/tool/audio_file.h"

#include <algorithm>
#include <cmath>

#include <sndfile.h>

#include "host/tool/staged_file.h"

namespace {
class SoundFile {
public:
    SoundFile(const std::string& path, int mode, SF_INFO& info)
        : handle(sf_open(path.c_str(), mode, &info)) {}
    ~SoundFile() {
        if (handle) sf_close(handle);
    }
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    SNDFILE* get() const { return handle; }
    // Closes now, to learn whether the last writes reached the file.
    bool close() {
        const int status = handle ? sf_close(handle) : 0;
        handle = nullptr;
        return status == 0;
    }

private:
    SNDFILE* handle;
};

SF_INFO layout(int format, size_t channels, double sampleRate) {
    SF_INFO info{};
    info.format = format;
    info.channels = static_cast<int>(channels);
    info.samplerate = static_cast<int>(std::lround(sampleRate));
    return info;
}
}  // namespace

int floatWavFormat() { return SF_FORMAT_WAV | SF_FORMAT_FLOAT; }

bool canWriteAudioFormat(int format, size_t channels, double sampleRate) {
    SF_INFO info = layout(format, channels, sampleRate);
    return channels > 0 && sf_format_check(&info) != 0;
}

bool readAudioFile(const std::string& path, AudioBuffer& audio, int& format, std::string& error) {
    SF_INFO info{};
    SoundFile file(path, SFM_READ, info);
    if (!file.get()) {
        error = "cannot read audio from " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels <= 0 || info.samplerate <= 0) {
        error = path + " has no channels or no sample rate";
        return false;
    }
    const size_t channels = static_cast<size_t>(info.channels);
    std::vector<float> interleaved;
    std::vector<float> block(4096 * channels);
    while (true) {
        const sf_count_t got = sf_readf_float(file.get(), block.data(), 4096);
        if (got <= 0) break;
        interleaved.insert(interleaved.end(), block.begin(),
                           block.begin() + static_cast<std::ptrdiff_t>(got) * info.channels);
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        error = "cannot read audio from " + path + ": " + sf_strerror(file.get());
        return false;
    }
    const size_t frames = interleaved.size() / channels;
    audio = AudioBuffer(info.samplerate, channels, frames);
    for (size_t i = 0; i < frames; ++i)
        for (size_t c = 0; c < channels; ++c) audio.channels[c][i] = interleaved[i * channels + c];
    format = info.format;
    return true;
}

bool writeAudioFile(const std::string& path, const AudioBuffer& audio, int format,
                    std::string& error) {
    const size_t channels = audio.channelCount();
    if (!canWriteAudioFormat(format, channels, audio.sampleRate)) {
        error = "cannot write " + std::to_string(channels) + " channels at " +
                std::to_string(std::lround(audio.sampleRate)) + " Hz in that file format";
        return false;
    }
    StagedFile staged(path);
    if (!staged.ok()) {
        error = staged.error();
        return false;
    }
    SF_INFO info = layout(format, channels, audio.sampleRate);
    SoundFile file(staged.path(), SFM_WRITE, info);
    if (!file.get()) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const size_t frames = audio.frames();
    std::vector<float> interleaved(4096 * channels);
    for (size_t start = 0; start < frames; start += 4096) {
        const size_t count = std::min<size_t>(4096, frames - start);
        for (size_t i = 0; i < count; ++i)
            for (size_t c = 0; c < channels; ++c)
                interleaved[i * channels + c] = audio.channels[c][start + i];
        if (sf_writef_float(file.get(), interleaved.data(), static_cast<sf_count_t>(count)) !=
            static_cast<sf_count_t>(count)) {
            error = "cannot write " + path + ": " + sf_strerror(file.get());
            return false;
        }
    }
    if (!file.close()) {
        error = "cannot finish " + path;
        return false;
    }
    return staged.commit(error);
}
