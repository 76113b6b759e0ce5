#include "tests/tool/json_value.h"

#include <cstdlib>

namespace {
const JsonValue& nothing() {
    static const JsonValue none;
    return none;
}

class Parser {
public:
    explicit Parser(const std::string& text) : s(text) {}

    bool document(JsonValue& value) {
        if (!parse(value)) return false;
        blanks();
        return at == s.size();
    }

private:
    void blanks() {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\t' || s[at] == '\r'))
            ++at;
    }
    bool literal(const char* word) {
        const std::string w = word;
        if (s.compare(at, w.size(), w) != 0) return false;
        at += w.size();
        return true;
    }
    bool string(std::string& out) {
        if (at >= s.size() || s[at] != '"') return false;
        ++at;
        while (at < s.size() && s[at] != '"') {
            char c = s[at++];
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c == '\\') {
                if (at >= s.size()) return false;
                const char e = s[at++];
                if (e == 'u') {
                    if (at + 4 > s.size()) return false;
                    const long code = std::strtol(s.substr(at, 4).c_str(), nullptr, 16);
                    at += 4;
                    // The tool escapes only control characters and Latin-1
                    // bytes; keep them as one byte each.
                    out += static_cast<char>(code);
                    continue;
                }
                const std::string from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
                const size_t k = from.find(e);
                if (k == std::string::npos) return false;
                c = to[k];
            }
            out += c;
        }
        if (at >= s.size()) return false;
        ++at;
        return true;
    }
    bool parse(JsonValue& v) {
        blanks();
        if (at >= s.size()) return false;
        const char c = s[at];
        if (c == '{') {
            v.type = JsonValue::Type::Object;
            ++at;
            blanks();
            if (at < s.size() && s[at] == '}') return ++at, true;
            while (true) {
                blanks();
                std::string key;
                if (!string(key)) return false;
                blanks();
                if (at >= s.size() || s[at++] != ':') return false;
                if (!parse(v.members[key])) return false;
                blanks();
                if (at < s.size() && s[at] == ',') { ++at; continue; }
                if (at < s.size() && s[at] == '}') return ++at, true;
                return false;
            }
        }
        if (c == '[') {
            v.type = JsonValue::Type::Array;
            ++at;
            blanks();
            if (at < s.size() && s[at] == ']') return ++at, true;
            while (true) {
                v.items.emplace_back();
                if (!parse(v.items.back())) return false;
                blanks();
                if (at < s.size() && s[at] == ',') { ++at; continue; }
                if (at < s.size() && s[at] == ']') return ++at, true;
                return false;
            }
        }
        if (c == '"') {
            v.type = JsonValue::Type::String;
            return string(v.text);
        }
        if (literal("true")) return v.type = JsonValue::Type::Boolean, v.boolean = true, true;
        if (literal("false")) return v.type = JsonValue::Type::Boolean, true;
        if (literal("null")) return v.type = JsonValue::Type::Null, true;
        const char* start = s.c_str() + at;
        char* end = nullptr;
        v.number = std::strtod(start, &end);
        if (end == start) return false;
        v.type = JsonValue::Type::Number;
        at += static_cast<size_t>(end - start);
        return true;
    }

    const std::string& s;
    size_t at = 0;
};
}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    const auto found = members.find(key);
    return found == members.end() ? nothing() : found->second;
}

const JsonValue& JsonValue::operator[](size_t index) const {
    return index < items.size() ? items[index] : nothing();
}

bool parseJson(const std::string& text, JsonValue& value) { return Parser(text).document(value); }
