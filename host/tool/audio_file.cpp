#include "host/tool/audio_file.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <sndfile.h>

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

struct AudioFileWriter::Handle {
    SNDFILE* file = nullptr;
    size_t channels = 0;
};

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

AudioFileWriter::AudioFileWriter() : handle(std::make_unique<Handle>()) {}

AudioFileWriter::~AudioFileWriter() {
    if (handle->file) sf_close(handle->file);
}

bool AudioFileWriter::open(const std::string& name, int format, size_t channels, double sampleRate,
                           std::string& error) {
    path = name;
    if (!canWriteAudioFormat(format, channels, sampleRate)) {
        error = "cannot write " + std::to_string(channels) + " channels at " +
                std::to_string(std::lround(sampleRate)) + " Hz in that file format";
        return false;
    }
    if (!output.open(path, error)) return false;
    SF_INFO info = layout(format, channels, sampleRate);
    handle->file = sf_open_fd(output.descriptor(), SFM_WRITE, &info, SF_FALSE);
    handle->channels = channels;
    if (!handle->file) {
        const std::string reason = sf_strerror(nullptr);
        error = "cannot write " + path + ": " + reason;
        // WAV and AIFF go back to their headers at the end; a pipe cannot.
        if (reason.find("pipe") != std::string::npos)
            error += " (write a format that streams, such as AU or FLAC, into a pipe)";
        return false;
    }
    sf_command(handle->file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool AudioFileWriter::write(const float* const* channels, size_t frames, std::string& error) {
    constexpr size_t kChunk = 4096;
    const size_t count = handle->channels;
    interleaved.resize(kChunk * count);
    for (size_t start = 0; start < frames; start += kChunk) {
        const size_t chunk = std::min(kChunk, frames - start);
        for (size_t i = 0; i < chunk; ++i)
            for (size_t c = 0; c < count; ++c) interleaved[i * count + c] = channels[c][start + i];
        if (sf_writef_float(handle->file, interleaved.data(), static_cast<sf_count_t>(chunk)) !=
            static_cast<sf_count_t>(chunk)) {
            error = "cannot write " + path + ": " + sf_strerror(handle->file);
            return false;
        }
    }
    return true;
}

bool AudioFileWriter::finish(std::string& error) {
    const int status = sf_close(handle->file);
    handle->file = nullptr;
    if (status != 0) {
        error = "cannot finish " + path + ": " + sf_error_number(status);
        return false;
    }
    return output.commit(error);
}

bool writeAudioFile(const std::string& path, const AudioBuffer& audio, int format,
                    std::string& error) {
    AudioFileWriter writer;
    std::vector<const float*> channels;
    for (const auto& channel : audio.channels) channels.push_back(channel.data());
    return writer.open(path, format, audio.channelCount(), audio.sampleRate, error) &&
           writer.write(channels.data(), audio.frames(), error) && writer.finish(error);
}
