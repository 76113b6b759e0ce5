#include "host/tool/audio_files/audio_file.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <sndfile.h>

#include "host/tool/audio_files/audio_format.h"
#include "host/tool/audio_files/ogg_stream_number.h"

namespace {
// Any number names the one stream of a file; this one reads "VnDl".
constexpr uint32_t kOggStreamNumber = 0x566E446Cu;

SF_INFO layout(int format, size_t channels, double sampleRate) {
    SF_INFO info{};
    info.format = format;
    info.channels = static_cast<int>(channels);
    info.samplerate = static_cast<int>(std::lround(sampleRate));
    return info;
}
}  // namespace

struct AudioFileReader::Handle {
    SNDFILE* file = nullptr;
};

struct AudioFileWriter::Handle {
    SNDFILE* file = nullptr;
    size_t channels = 0;
};

bool canWriteAudioFormat(int format, size_t channels, double sampleRate) {
    SF_INFO info = layout(format, channels, sampleRate);
    return channels > 0 && sf_format_check(&info) != 0;
}

AudioFileReader::AudioFileReader() : handle(std::make_unique<Handle>()) {}

AudioFileReader::~AudioFileReader() {
    if (handle->file) sf_close(handle->file);
}

bool AudioFileReader::open(const std::string& name, std::string& error) {
    path = name;
    SF_INFO info{};
    handle->file = sf_open(path.c_str(), SFM_READ, &info);
    if (!handle->file) {
        error = "cannot read audio from " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels <= 0 || info.samplerate <= 0) {
        error = path + " has no channels or no sample rate";
        return false;
    }
    channels = static_cast<size_t>(info.channels);
    rate = info.samplerate;
    length = info.seekable && info.frames > 0 ? static_cast<size_t>(info.frames) : 0;
    fileFormat = info.format;
    return true;
}

size_t AudioFileReader::read(float* const* out, size_t frames) {
    constexpr size_t kChunk = 4096;
    interleaved.resize(kChunk * channels);
    size_t done = 0;
    while (done < frames) {
        const size_t wanted = std::min(kChunk, frames - done);
        const sf_count_t got =
            sf_readf_float(handle->file, interleaved.data(), static_cast<sf_count_t>(wanted));
        if (got <= 0) break;
        for (size_t i = 0; i < static_cast<size_t>(got); ++i)
            for (size_t c = 0; c < channels; ++c) out[c][done + i] = interleaved[i * channels + c];
        done += static_cast<size_t>(got);
        if (static_cast<size_t>(got) < wanted) break;
    }
    if (done < frames && sf_error(handle->file) != SF_ERR_NO_ERROR)
        problem = "cannot read audio from " + path + ": " + sf_strerror(handle->file);
    return done;
}

bool AudioFileReader::failed(std::string& reason) const {
    if (problem.empty()) return false;
    reason = problem;
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
    // The PEAK chunk of WAV and AIFF carries the time of writing; without it
    // the same render gives the same bytes.
    sf_command(handle->file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    fileFormat = info.format;
    clips = encodingClips(fileFormat);
    return true;
}

bool AudioFileWriter::write(const float* const* channels, size_t frames, std::string& error) {
    constexpr size_t kChunk = 4096;
    const size_t count = handle->channels;
    interleaved.resize(kChunk * count);
    for (size_t start = 0; start < frames; start += kChunk) {
        const size_t chunk = std::min(kChunk, frames - start);
        for (size_t i = 0; i < chunk; ++i) {
            for (size_t c = 0; c < count; ++c) {
                float sample = channels[c][start + i];
                if (!std::isfinite(sample)) {
                    ++nonFinite;
                    if (clips && std::isnan(sample)) sample = 0.0f;
                }
                if (clips && std::fabs(sample) > 1.0f) ++clipped;
                interleaved[i * count + c] = sample;
            }
        }
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
    // libsndfile numbers an Ogg stream at random; a file gets a fixed number.
    // (A pipe keeps libsndfile's: it cannot be gone back over.)
    if ((fileFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG && !output.direct() &&
        !numberOggStream(output.descriptor(), kOggStreamNumber, error)) {
        error = "cannot finish " + path + ": " + error;
        return false;
    }
    return output.commit(error);
}
