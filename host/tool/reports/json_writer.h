// A small writer of JSON text, enough for the tool's reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    // Text a plug-in wrote: bytes that do not form UTF-8 are taken as
    // Latin-1, as plug-ins of old write them.
    JsonWriter& string(const std::string& text);
    // A file's path, whose bytes are what names the file: those that do not
    // form UTF-8 become the escapes \udc80 to \udcff, which Python's
    // surrogateescape reads back as those very bytes; no other character
    // stands for them.
    JsonWriter& path(const std::string& bytes);
    JsonWriter& integer(int64_t number);
    // Non-finite numbers have no JSON form and become null.
    JsonWriter& number(double number);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    const std::string& text() const { return out; }

private:
    void separate();
    void quoted(const std::string& text, bool asPath);

    std::string out;
    std::vector<bool> firstInLevel;
    bool afterKey = false;
};
