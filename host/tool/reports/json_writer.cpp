#include "host/tool/reports/json_writer.h"

#include <cmath>
#include <cstdio>

namespace {
// The length of the well-formed UTF-8 sequence that starts at the position,
// 0 when the bytes there form none: overlong forms, surrogates (U+D800 to
// U+DFFF) and code points past U+10FFFF are not UTF-8. Bytes that do not
// form UTF-8 are taken as Latin-1, so any plug-in text gives valid JSON.
size_t utf8SequenceLength(const std::string& text, size_t at) {
    const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // what the second byte may be
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // below: overlong
        if (lead == 0xED) high = 0x9F;  // above: surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // below: overlong
        if (lead == 0xF4) high = 0x8F;  // above: past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}
}  // namespace

void JsonWriter::separate() {
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (!firstInLevel.empty()) {
        if (!firstInLevel.back()) out += ',';
        firstInLevel.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out += '{';
    firstInLevel.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    out += '}';
    firstInLevel.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    out += '[';
    firstInLevel.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    out += ']';
    firstInLevel.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name) {
    string(name);
    out += ':';
    afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::string(const std::string& text) {
    quoted(text, false);
    return *this;
}

JsonWriter& JsonWriter::path(const std::string& bytes) {
    quoted(bytes, true);
    return *this;
}

void JsonWriter::quoted(const std::string& text, bool asPath) {
    separate();
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char escaped[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (size_t length = utf8SequenceLength(text, i)) {
            out.append(text, i, length);
            i += length - 1;
        } else {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", asPath ? 0xDC00u + c : c);
            out += escaped;
        }
    }
    out += '"';
}

JsonWriter& JsonWriter::integer(int64_t number) {
    separate();
    out += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::number(double number) {
    separate();
    if (!std::isfinite(number)) {
        out += "null";
        return *this;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", number);
    out += text;
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    separate();
    out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    out += "null";
    return *this;
}
