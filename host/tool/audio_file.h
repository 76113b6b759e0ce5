// Reading and writing audio files through libsndfile: whatever it reads
// (WAV, AIFF, FLAC, OGG, ...), written whole or not at all.
#pragma once

#include <string>

#include "host/library/audio_buffer.h"

// libsndfile's format code of 32-bit float WAV, the default for results.
int floatWavFormat();

// On success the buffer holds the samples as floats (integer formats scaled
// to -1..1) and format the file's libsndfile format code.
bool readAudioFile(const std::string& path, AudioBuffer& audio, int& format, std::string& error);

// Writes under a temporary name and renames, so a failure leaves no file.
// Integer formats clip rather than wrap.
bool writeAudioFile(const std::string& path, const AudioBuffer& audio, int format,
                    std::string& error);

// Whether libsndfile can write that format with that layout.
bool canWriteAudioFormat(int format, size_t channels, double sampleRate);
