// Reading and writing audio files through libsndfile: whatever it reads
// (WAV, AIFF, FLAC, OGG, ...); written through an output file, so a
// regular file is whole or not there at all.
#pragma once

#include <memory>
#include <string>

#include "host/library/audio_buffer.h"
#include "host/library/audio_stream.h"
#include "host/tool/output_file.h"

// libsndfile's format code of 32-bit float WAV, the default for results.
int floatWavFormat();

// On success the buffer holds the samples as floats (integer formats scaled
// to -1..1) and format the file's libsndfile format code.
bool readAudioFile(const std::string& path, AudioBuffer& audio, int& format, std::string& error);

// Whether libsndfile can write that format with that layout.
bool canWriteAudioFormat(int format, size_t channels, double sampleRate);

// An audio file written block by block. Integer formats clip rather than
// wrap.
class AudioFileWriter : public AudioSink {
public:
    AudioFileWriter();
    ~AudioFileWriter() override;
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    bool open(const std::string& path, int format, size_t channels, double sampleRate,
              std::string& error);
    bool write(const float* const* channels, size_t frames, std::string& error) override;
    // Completes the file and moves it into place.
    bool finish(std::string& error);

private:
    struct Handle;
    std::string path;
    OutputFile output;
    std::unique_ptr<Handle> handle;
    std::vector<float> interleaved;
};

// Writes the whole buffer.
bool writeAudioFile(const std::string& path, const AudioBuffer& audio, int format,
                    std::string& error);
