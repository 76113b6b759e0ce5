#include "host/tool/validate/operation.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <type_traits>

#include "host/tool/command_line/number_text.h"
#include "vst/aeffect.h"

const char* wordOf(TextRequest request) {
    switch (request) {
        case TextRequest::ParameterName: return "param-name";
        case TextRequest::ParameterLabel: return "param-label";
        case TextRequest::ParameterDisplay: return "param-display";
        case TextRequest::ProgramName: return "program-name";
        case TextRequest::ProgramNameIndexed: return "program-name-indexed";
        case TextRequest::EffectName: return "effect-name";
        case TextRequest::VendorString: return "vendor";
        case TextRequest::ProductString: return "product";
    }
    return nullptr;
}

const char* wordOf(QueryRequest request) {
    switch (request) {
        case QueryRequest::ParameterProperties: return "param-properties";
        case QueryRequest::InputProperties: return "input-properties";
        case QueryRequest::OutputProperties: return "output-properties";
        case QueryRequest::SpeakerArrangement: return "speaker-arrangement";
        case QueryRequest::SetSpeakerArrangement: return "set-speaker-arrangement";
        case QueryRequest::ProcessEvents: return "process-events";
        case QueryRequest::StringToParameter: return "string-to-param";
        case QueryRequest::TailSize: return "tail-size";
        case QueryRequest::VstVersion: return "vst-version";
        case QueryRequest::Category: return "category";
        case QueryRequest::CurrentProgram: return "get-program";
        case QueryRequest::VendorVersion: return "vendor-version";
        case QueryRequest::CanBeAutomated: return "can-be-automated";
        case QueryRequest::Bypass: return "bypass";
        case QueryRequest::ProcessPrecision: return "process-precision";
    }
    return nullptr;
}

const char* wordOf(TestSignal signal) {
    switch (signal) {
        case TestSignal::Silence: return "silence";
        case TestSignal::Noise: return "noise";
        case TestSignal::Impulse: return "impulse";
        case TestSignal::Square: return "square";
        case TestSignal::Denormal: return "denormal";
        case TestSignal::NotANumber: return "nan";
        case TestSignal::Infinity: return "inf";
    }
    return nullptr;
}

const char* wordOf(RoundTripKind kind) {
    switch (kind) {
        case RoundTripKind::Parameters: return "parameters";
        case RoundTripKind::Chunk: return "chunk";
        case RoundTripKind::Programs: return "programs";
    }
    return nullptr;
}

namespace {
// Floats as the shortest text that reads back to the same float.
std::string numberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

bool readNumber(const std::string& word, double& number) {
    if (word.empty()) return false;
    char* end = nullptr;
    number = std::strtod(word.c_str(), &end);
    // Every value the validator sends is a float; read it as one.
    number = static_cast<double>(static_cast<float>(number));
    return *end == '\0';
}

// An enumeration's value by its word: the words run from the first value
// until wordOf gives none.
template <typename Enum>
bool enumByWord(const std::string& word, Enum& value) {
    for (int i = 0; wordOf(static_cast<Enum>(i)); ++i)
        if (word == wordOf(static_cast<Enum>(i))) {
            value = static_cast<Enum>(i);
            return true;
        }
    return false;
}

constexpr int64_t kLeast = INT64_MIN, kMost = INT64_MAX;
constexpr int32_t kMostTextBytes = 4096;

// Writes an operation's fields after its word.
class FieldWriter {
public:
    explicit FieldWriter(std::string& text) : line(text) {}

    void integer(const char*, int64_t value, int64_t = kLeast, int64_t = kMost) { add(std::to_string(value)); }
    void number(const char*, double value) { add(numberText(value)); }
    template <typename Enum>
    void choice(const char*, Enum value) { add(wordOf(value)); }
    void either(const char* yes, const char* no, bool value) { add(value ? yes : no); }
    void wordOrNull(const char*, const std::string& text, bool null) { add(null ? "null" : text); }
    void bytesOrNull(const char*, int32_t bytes, bool null) { add(null ? "null" : std::to_string(bytes)); }
    void flag(const char* word, bool set) {
        if (set) add(word);
    }
    void tagged(const char* tag, uint32_t value) {
        if (value == 0) return;
        add(tag);
        add(std::to_string(value));
    }

private:
    void add(const std::string& word) { line += " " + word; }
    std::string& line;
};

// The words an operation takes, for a message: "param INDEX VALUE".
class FieldUsage {
public:
    explicit FieldUsage(std::string& text) : line(text) {}

    void integer(const char* name, int64_t, int64_t = kLeast, int64_t = kMost) { add(name); }
    void number(const char* name, double) { add(name); }
    template <typename Enum>
    void choice(const char* name, Enum) { add(name); }
    void either(const char* yes, const char* no, bool) { add(std::string(yes) + "|" + no); }
    void wordOrNull(const char* name, const std::string&, bool) { add(std::string(name) + "|null"); }
    void bytesOrNull(const char* name, int32_t, bool) { add(std::string(name) + "|null"); }
    void flag(const char* word, bool) { add(std::string("[") + word + "]"); }
    void tagged(const char* tag, uint32_t) { add(std::string("[") + tag + " SEED]"); }

private:
    void add(const std::string& word) { line += " " + word; }
    std::string& line;
};

// Reads an operation's fields from the words after its word; the first
// word it cannot take stops it with the reason.
class FieldReader {
public:
    explicit FieldReader(const std::vector<std::string>& lineWords) : words(lineWords) {}

    void integer(const char* name, int64_t& value, int64_t least = kLeast, int64_t most = kMost) {
        const std::string* word = next(name);
        if (!word) return;
        if (!parseWholeNumber(*word, value)) fail("'" + *word + "' is no whole number");
        else if (value < least || value > most)
            fail(std::string(name) + " runs from " + std::to_string(least) + " to " + std::to_string(most));
    }
    void number(const char* name, double& value) {
        const std::string* word = next(name);
        if (word && !readNumber(*word, value)) fail("'" + *word + "' is no number");
    }
    template <typename Enum>
    void choice(const char* name, Enum& value) {
        const std::string* word = next(name);
        if (word && !enumByWord(*word, value)) fail("'" + *word + "' is no " + name + " of this operation");
    }
    void either(const char* yes, const char* no, bool& value) {
        const std::string* word = next(yes);
        if (!word) return;
        value = *word == yes;
        if (!value && *word != no) fail("'" + *word + "' is neither " + yes + " nor " + no);
    }
    void wordOrNull(const char* name, std::string& text, bool& null) {
        const std::string* word = next(name);
        if (!word) return;
        null = *word == "null";
        if (!null) text = *word;
    }
    void bytesOrNull(const char* name, int32_t& bytes, bool& null) {
        const std::string* word = next(name);
        if (!word) return;
        null = *word == "null";
        if (null) return;
        int64_t size = 0;
        if (!parseWholeNumber(*word, size) || size < 1 || size > kMostTextBytes)
            fail("a text buffer holds 1 to " + std::to_string(kMostTextBytes) + " bytes");
        else bytes = static_cast<int32_t>(size);
    }
    void flag(const char* word, bool& set) { set = take(word); }
    void tagged(const char* tag, uint32_t& value) {
        if (!take(tag)) return;
        int64_t seed = 0;
        const std::string* word = next(tag);
        if (word && (!parseWholeNumber(*word, seed) || seed <= 0 || seed > 0xFFFFFFFFll))
            fail(std::string(tag) + " takes a seed from 1 to 4294967295");
        value = static_cast<uint32_t>(seed);
    }

    bool finished() const { return !failed && at == words.size(); }
    bool failedWith(std::string& reason) const {
        if (!failed) return false;
        reason = error;
        return true;
    }

private:
    const std::string* next(const char* name) {
        if (failed) return nullptr;
        if (at < words.size()) return &words[at++];
        fail(std::string("it ends before its ") + name);
        return nullptr;
    }
    bool take(const char* word) {
        if (failed || at >= words.size() || words[at] != word) return false;
        ++at;
        return true;
    }
    void fail(const std::string& reason) {
        if (failed) return;
        failed = true;
        error = reason;
    }

    const std::vector<std::string>& words;
    size_t at = 1;  // after the operation's own word
    bool failed = false;
    std::string error;
};

// The kind whose word the line starts with, made with its defaults.
template <size_t I = 0>
bool operationByWord(const std::string& word, Operation& operation) {
    if constexpr (I == std::variant_size_v<Operation>) {
        return false;
    } else {
        using Kind = std::variant_alternative_t<I, Operation>;
        if (word == Kind::word) {
            operation = Kind{};
            return true;
        }
        return operationByWord<I + 1>(word, operation);
    }
}
}  // namespace

std::string formatOperation(const Operation& operation) {
    return std::visit(
        [](auto kind) {
            std::string line = decltype(kind)::word;
            FieldWriter writer(line);
            kind.fields(writer);
            return line;
        },
        operation);
}

bool parseOperation(const std::string& line, Operation& operation, std::string& error) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty()) {
        error = "an empty line";
        return false;
    }
    if (!operationByWord(words[0], operation)) {
        error = "no operation is called '" + words[0] + "'";
        return false;
    }
    return std::visit(
        [&](auto& kind) {
            FieldReader reader(words);
            kind.fields(reader);
            if (reader.finished()) return true;
            std::string usage = std::remove_reference_t<decltype(kind)>::word;
            FieldUsage describe(usage);
            auto blank = kind;
            blank.fields(describe);
            std::string reason;
            if (!reader.failedWith(reason)) reason = "it has words past its end";
            error = reason + " (" + usage + ")";
            return false;
        },
        operation);
}

bool dependsOnThreadTiming(const OperationList& operations) {
    for (const Operation& operation : operations)
        if (const auto* process = std::get_if<ops::Process>(&operation); process && process->threadSeed != 0)
            return true;
    return false;
}

int32_t nominalTextSize(TextRequest request) {
    switch (request) {
        case TextRequest::ParameterName:
        case TextRequest::ParameterLabel:
        case TextRequest::ParameterDisplay: return kVstMaxParamStrLen;
        case TextRequest::ProgramName:
        case TextRequest::ProgramNameIndexed: return kVstMaxProgNameLen;
        case TextRequest::EffectName: return kVstMaxEffectNameLen;
        case TextRequest::VendorString: return kVstMaxVendorStrLen;
        case TextRequest::ProductString: return kVstMaxProductStrLen;
    }
    return kVstMaxParamStrLen;
}

bool textTakesParameter(TextRequest request) {
    return request == TextRequest::ParameterName || request == TextRequest::ParameterLabel ||
           request == TextRequest::ParameterDisplay;
}

bool queryTakesParameter(QueryRequest request) {
    return request == QueryRequest::ParameterProperties ||
           request == QueryRequest::StringToParameter || request == QueryRequest::CanBeAutomated;
}
