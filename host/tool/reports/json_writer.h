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
    JsonWriter& string(const std::string& text);
    JsonWriter& integer(int64_t number);
    // Non-finite numbers have no JSON form and become null.
    JsonWriter& number(double number);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    const std::string& text() const { return out; }

private:
    void separate();

    std::string out;
    std::vector<bool> firstInLevel;
    bool afterKey = false;
};
