// Just enough of a JSON reader to check the tool's --json reports: a parse
// that fails on anything malformed, and lookup by key and index.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

struct JsonValue {
    enum class Type { Null, Boolean, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // A null value when absent, so that chains of lookups stay safe.
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](size_t index) const;
};

// False when the text is not exactly one JSON value (blanks around it allowed).
bool parseJson(const std::string& text, JsonValue& value);
