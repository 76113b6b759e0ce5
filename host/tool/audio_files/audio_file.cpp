#include "host/tool/audio_files/audio_file.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/tool/audio_files/audio_format.h"
#include "host/tool/audio_files/ogg_stream_number.h"
#include "host/tool/audio_files/sndfile_descriptor.h"
#include "host/tool/files/standard_output.h"
#include "host/tool/reports/wording.h"

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

// The input's descriptor, opened by the tool so that a missing file or a
// folder is said in the system's words; -1 with the reason.
int openInput(const std::string& path, std::string& error) {
    if (isStandardStream(path)) {
        if (isatty(STDIN_FILENO)) {
            error = "cannot read audio from standard input: it is a terminal; send a file into it";
            return -1;
        }
        const int fd = fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
        if (fd < 0) error = std::string("cannot read audio from standard input: ") + std::strerror(errno);
        return fd;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        error = "cannot read audio from " + path + ": " + std::strerror(errno);
        if (fd >= 0) close(fd);
        return -1;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "cannot read audio from " + path + ": it is a directory";
        close(fd);
        return -1;
    }
    return fd;
}
}  // namespace

struct AudioFileReader::Handle {
    SNDFILE* file = nullptr;
};

struct AudioFileWriter::Handle {
    SNDFILE* file = nullptr;
    size_t channels = 0;
    // Set where the tool does libsndfile's reading and writing itself.
    std::unique_ptr<SndfileDescriptor> io;
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
    path = isStandardStream(name) ? "standard input" : name;
    const int fd = openInput(name, error);
    if (fd < 0) return false;
    SF_INFO info{};
    handle->file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!handle->file) {
        error = "cannot read audio from " + path + ": " + sndfileReason(nullptr, true);
        close(fd);
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
        problem = "cannot read audio from " + path + ": " + sndfileReason(handle->file, true);
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

std::string AudioFileWriter::reason() const {
    if (handle->io && handle->io->failure() != 0) return std::strerror(handle->io->failure());
    return sndfileReason(handle->file, false);
}

bool AudioFileWriter::open(const std::string& name, int format, size_t channels, double sampleRate,
                           std::string& error) {
    if (!canWriteAudioFormat(format, channels, sampleRate)) {
        error = "cannot write " + counted(channels, "channel") + " at " + hertzText(sampleRate) +
                " as " + formatName(format);
        return false;
    }
    if (!output.open(name, error)) return false;
    path = output.name();
    SF_INFO info = layout(format, channels, sampleRate);
    // A pipe cannot be gone back over; libsndfile sees it for what it is.
    if (output.seekable()) {
        handle->io = std::make_unique<SndfileDescriptor>(output.descriptor());
        handle->file = handle->io->open(SFM_WRITE, info);
    } else {
        handle->file = sf_open_fd(output.descriptor(), SFM_WRITE, &info, SF_FALSE);
    }
    handle->channels = channels;
    if (!handle->file) {
        error = "cannot write " + path + ": " + reason();
        // WAV and AIFF go back to their headers at the end; a pipe cannot.
        if (error.find("pipe") != std::string::npos)
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
        // An encoder that keeps what it is given may fail to write it only
        // later; a failed write of any of it fails the file at once.
        if (sf_writef_float(handle->file, interleaved.data(), static_cast<sf_count_t>(chunk)) !=
                static_cast<sf_count_t>(chunk) ||
            (handle->io && handle->io->failure() != 0)) {
            error = "cannot write " + path + ": " + reason();
            return false;
        }
    }
    return true;
}

bool AudioFileWriter::finish(std::string& error) {
    const int status = sf_close(handle->file);
    handle->file = nullptr;
    if (status != 0 || (handle->io && handle->io->failure() != 0)) {
        error = "cannot write " + path + ": " +
                (handle->io && handle->io->failure() != 0 ? std::strerror(handle->io->failure())
                                                          : sndfileText(sf_error_number(status)));
        return false;
    }
    // libsndfile numbers an Ogg stream at random; a file gets a fixed number.
    // (A pipe keeps libsndfile's: it cannot be gone back over.)
    if ((fileFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG && !output.direct() &&
        !numberOggStream(output.descriptor(), kOggStreamNumber, error)) {
        error = "cannot write " + path + ": " + error;
        return false;
    }
    return output.commit(error);
}
