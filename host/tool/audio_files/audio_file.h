// Reading and writing audio files through libsndfile, a block at a time:
// whatever it reads (WAV, AIFF, FLAC, OGG, ...), standard input for "-";
// written through an output file, so a regular file is whole or not there
// at all, and every failed write is seen.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/audio_stream.h"
#include "host/tool/files/output_file.h"

// An audio file read block by block, as floats (integer formats scaled to
// -1..1).
class AudioFileReader : public AudioSource {
public:
    AudioFileReader();
    ~AudioFileReader() override;
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    bool open(const std::string& path, std::string& error);
    size_t channelCount() const override { return channels; }
    double sampleRate() const override { return rate; }
    // Known for files; a pipe's length shows only at its end.
    size_t knownLength() const override { return length; }
    size_t read(float* const* channels, size_t frames) override;
    bool failed(std::string& reason) const override;
    // libsndfile's format code of the file.
    int format() const { return fileFormat; }

private:
    struct Handle;
    std::unique_ptr<Handle> handle;
    std::string path;
    size_t channels = 0;
    double rate = 0.0;
    size_t length = 0;
    int fileFormat = 0;
    std::vector<float> interleaved;
    std::string problem;
};

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

    int format() const { return fileFormat; }
    // Where it goes, for messages: its path, or "standard output".
    const std::string& name() const { return path; }
    // Samples beyond full scale in an encoding that clips them.
    size_t clippedSamples() const { return clipped; }
    // Samples that are not numbers or infinite; a NaN is written as 0 in
    // an encoding of integers, which has no NaN.
    size_t nonFiniteSamples() const { return nonFinite; }

private:
    struct Handle;
    // Why writing failed: the system's reason where a write failed, else
    // libsndfile's.
    std::string reason() const;

    std::string path;
    OutputFile output;
    std::unique_ptr<Handle> handle;
    int fileFormat = 0;
    bool clips = false;
    size_t clipped = 0;
    size_t nonFinite = 0;
    std::vector<float> interleaved;
};
