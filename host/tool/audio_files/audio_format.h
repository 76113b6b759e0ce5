// Which file format an output is written in: the one --format names, else
// the one the output's extension says (32-bit float WAV without one); and
// how those formats are named.
#pragma once

#include <string>

// libsndfile's format code for an output. formatOption is --format's
// TYPE[:ENCODING] ("flac", "wav:pcm16"), empty when not given. False, with
// the reason, for an extension or a name that is not known.
bool chooseOutputFormat(const std::string& path, const std::string& formatOption, int& format,
                        std::string& error);

// False, with the reason, when the format holds no audio at that sample
// rate (Opus and MP3 know only a few): said before anything is rendered.
bool formatTakesRate(int format, double sampleRate, std::string& error);

// The file type the path's extension names, as a libsndfile type code; 0
// when it names none, -1 when it has no extension.
int typeOfExtension(const std::string& path);

// "FLAC, 24-bit PCM", for messages.
std::string formatName(int format);

// Whether the encoding stores numbers only up to full scale (integers),
// so that louder samples are clipped.
bool encodingClips(int format);
