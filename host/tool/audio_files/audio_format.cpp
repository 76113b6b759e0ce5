#include "host/tool/audio_files/audio_format.h"

#include <cctype>
#include <cstdio>

#include <sndfile.h>

namespace {
struct FileType {
    const char* name;        // for --format, and the first of its extensions
    const char* extensions;  // separated by spaces
    int type;
    int encoding;  // the default: float where the type holds it
    const char* description;
};

const FileType kTypes[] = {
    {"wav", "wav wave", SF_FORMAT_WAV, SF_FORMAT_FLOAT, "WAV"},
    {"w64", "w64", SF_FORMAT_W64, SF_FORMAT_FLOAT, "Wave64"},
    {"rf64", "rf64", SF_FORMAT_RF64, SF_FORMAT_FLOAT, "RF64"},
    {"aiff", "aiff aif aifc", SF_FORMAT_AIFF, SF_FORMAT_FLOAT, "AIFF"},
    {"au", "au snd", SF_FORMAT_AU, SF_FORMAT_FLOAT, "AU"},
    {"caf", "caf", SF_FORMAT_CAF, SF_FORMAT_FLOAT, "CAF"},
    {"flac", "flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24, "FLAC"},
    {"ogg", "ogg oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS, "Ogg"},
    {"opus", "opus", SF_FORMAT_OGG, SF_FORMAT_OPUS, "Ogg"},
    {"mp3", "mp3", SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III, "MPEG"},
};

struct Encoding {
    const char* name;
    int encoding;
    const char* description;
};

const Encoding kEncodings[] = {
    {"pcm16", SF_FORMAT_PCM_16, "16-bit PCM"},
    {"pcm24", SF_FORMAT_PCM_24, "24-bit PCM"},
    {"pcm32", SF_FORMAT_PCM_32, "32-bit PCM"},
    {"float", SF_FORMAT_FLOAT, "32-bit float"},
    {"double", SF_FORMAT_DOUBLE, "64-bit float"},
    {"ulaw", SF_FORMAT_ULAW, "u-law"},
    {"alaw", SF_FORMAT_ALAW, "A-law"},
    {"vorbis", SF_FORMAT_VORBIS, "Vorbis"},
    {"opus", SF_FORMAT_OPUS, "Opus"},
    {"mp3", SF_FORMAT_MPEG_LAYER_III, "MPEG layer III"},
};

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The extension after the last dot of the file's name, lower case; empty
// when there is none.
std::string extensionOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const bool inName = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (!inName || dot + 1 == path.size()) return std::string();
    return lowered(path.substr(dot + 1));
}

const FileType* typeWithExtension(const std::string& extension) {
    for (const FileType& type : kTypes) {
        const std::string list = std::string(" ") + type.extensions + " ";
        if (list.find(" " + extension + " ") != std::string::npos) return &type;
    }
    return nullptr;
}

std::string typeNames() {
    std::string names;
    for (const FileType& type : kTypes) names += (names.empty() ? "" : ", ") + std::string(type.name);
    return names;
}

std::string encodingNames() {
    std::string names;
    for (const Encoding& e : kEncodings) names += (names.empty() ? "" : ", ") + std::string(e.name);
    return names;
}
}  // namespace

int typeOfExtension(const std::string& path) {
    const std::string extension = extensionOf(path);
    if (extension.empty()) return -1;
    const FileType* type = typeWithExtension(extension);
    return type ? type->type : 0;
}

bool chooseOutputFormat(const std::string& path, const std::string& formatOption, int& format,
                        std::string& error) {
    if (formatOption.empty()) {
        const std::string extension = extensionOf(path);
        if (extension.empty()) {
            format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
            return true;
        }
        const FileType* type = typeWithExtension(extension);
        if (!type) {
            error = "no audio file format is known by the extension ." + extension + " of " + path +
                    ": name one with --format (" + typeNames() + ")";
            return false;
        }
        format = type->type | type->encoding;
        return true;
    }
    const size_t colon = formatOption.find(':');
    const std::string typeName = lowered(formatOption.substr(0, colon));
    const FileType* type = nullptr;
    for (const FileType& t : kTypes)
        if (typeName == t.name) type = &t;
    if (!type) {
        error = "--format names no file type '" + typeName + "' (" + typeNames() + ")";
        return false;
    }
    format = type->type | type->encoding;
    if (colon == std::string::npos) return true;
    const std::string encodingName = lowered(formatOption.substr(colon + 1));
    for (const Encoding& e : kEncodings) {
        if (encodingName != e.name) continue;
        format = type->type | e.encoding;
        return true;
    }
    error = "--format names no encoding '" + encodingName + "' (" + encodingNames() + ")";
    return false;
}

std::string formatName(int format) {
    char code[48];
    std::snprintf(code, sizeof code, "libsndfile format 0x%06X", static_cast<unsigned>(format));
    std::string name = code;
    for (const FileType& type : kTypes)
        if ((format & SF_FORMAT_TYPEMASK) == type.type) {
            name = type.description;
            break;
        }
    for (const Encoding& e : kEncodings)
        if ((format & SF_FORMAT_SUBMASK) == e.encoding) return name + ", " + e.description;
    return name;
}

bool formatTakesRate(int format, double sampleRate, std::string& error) {
    // The rates each codec's standard defines.
    static const double kOpusRates[] = {8000, 12000, 16000, 24000, 48000};
    static const double kMpegRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    const int encoding = format & SF_FORMAT_SUBMASK;
    const double* first = nullptr;
    size_t count = 0;
    if (encoding == SF_FORMAT_OPUS) first = kOpusRates, count = sizeof kOpusRates / sizeof kOpusRates[0];
    if (encoding == SF_FORMAT_MPEG_LAYER_III) first = kMpegRates, count = sizeof kMpegRates / sizeof kMpegRates[0];
    if (!first) return true;
    std::string list;
    for (size_t i = 0; i < count; ++i) {
        if (first[i] == sampleRate) return true;
        char rate[16];
        std::snprintf(rate, sizeof rate, "%g", first[i]);
        list += (i == 0 ? "" : i + 1 == count ? " or " : ", ") + std::string(rate);
    }
    char given[32];
    std::snprintf(given, sizeof given, "%.10g", sampleRate);
    error = formatName(format) + " holds audio at " + list + " Hz only, not at " + given +
            " Hz: resample it first or choose another format";
    return false;
}

bool encodingClips(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_FLOAT:
        case SF_FORMAT_DOUBLE:
        case SF_FORMAT_VORBIS:
        case SF_FORMAT_OPUS:
            return false;
        default:
            return true;
    }
}
