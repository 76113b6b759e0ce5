#include "host/tool/validate/operation.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "host/tool/command_line/number_text.h"
#include "vst/aeffect.h"

namespace {
const char* const kKindWords[] = {"new-instance", "open",      "rate",         "block",
                                  "resume",       "suspend",   "start",        "stop",
                                  "program",      "program-name", "param",     "get-param",
                                  "text",         "query",     "can-do",       "process",
                                  "round-trip",   "denormal-timing"};
const char* const kTextWords[] = {"param-name",   "param-label",          "param-display",
                                  "program-name", "program-name-indexed", "effect-name",
                                  "vendor",       "product"};
const char* const kQueryWords[] = {"param-properties", "input-properties", "output-properties",
                                   "speaker-arrangement", "set-speaker-arrangement",
                                   "process-events", "string-to-param", "tail-size",
                                   "vst-version", "category", "get-program", "vendor-version",
                                   "can-be-automated", "bypass", "process-precision"};
const char* const kSignalWords[] = {"silence", "noise", "impulse", "square",
                                    "denormal", "nan", "inf"};
const char* const kRoundTripWords[] = {"parameters", "chunk", "programs"};

template <size_t N>
int32_t wordIndex(const char* const (&words)[N], const std::string& word) {
    for (size_t i = 0; i < N; ++i)
        if (word == words[i]) return static_cast<int32_t>(i);
    return -1;
}

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
}  // namespace

const char* textRequestWord(TextRequest request) { return kTextWords[static_cast<int>(request)]; }
const char* queryRequestWord(QueryRequest request) { return kQueryWords[static_cast<int>(request)]; }
const char* testSignalWord(TestSignal signal) { return kSignalWords[static_cast<int>(signal)]; }
const char* roundTripWord(RoundTripKind kind) { return kRoundTripWords[static_cast<int>(kind)]; }

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

std::string formatOperation(const Operation& op) {
    std::string line = kKindWords[static_cast<int>(op.kind)];
    const auto add = [&line](const std::string& word) { line += " " + word; };
    switch (op.kind) {
        case OperationKind::SampleRate: add(numberText(op.value)); break;
        case OperationKind::BlockSize:
        case OperationKind::Program:
        case OperationKind::GetParameter: add(std::to_string(op.index)); break;
        case OperationKind::ProgramName:
        case OperationKind::CanDo: add(op.nullPointer ? "null" : op.text); break;
        case OperationKind::SetParameter:
            add(std::to_string(op.index));
            add(numberText(op.value));
            break;
        case OperationKind::Text:
            add(textRequestWord(op.textRequest()));
            add(std::to_string(op.index));
            add(op.nullPointer ? "null" : std::to_string(op.bufferSize));
            break;
        case OperationKind::Query:
            add(queryRequestWord(op.queryRequest()));
            add(std::to_string(op.index));
            if (op.nullPointer) add("null");
            break;
        case OperationKind::Process:
            add(std::to_string(op.blocks));
            add(std::to_string(op.index));
            add(testSignalWord(op.signal()));
            add(op.inPlace ? "in-place" : "out-of-place");
            if (op.threadSeed != 0) {
                add("thread");
                add(std::to_string(op.threadSeed));
            }
            break;
        case OperationKind::RoundTrip: add(roundTripWord(op.roundTrip())); break;
        default: break;
    }
    return line;
}

bool parseOperation(const std::string& line, Operation& op, std::string& error) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    op = Operation();
    if (words.empty()) {
        error = "an empty line";
        return false;
    }
    const int32_t kind = wordIndex(kKindWords, words[0]);
    if (kind < 0) {
        error = "no operation is called '" + words[0] + "'";
        return false;
    }
    op.kind = static_cast<OperationKind>(kind);
    const auto wants = [&](size_t least, size_t most) {
        if (words.size() - 1 >= least && words.size() - 1 <= most) return true;
        error = "'" + words[0] + "' takes " + std::to_string(least) +
                (least == most ? "" : " to " + std::to_string(most)) + " words";
        return false;
    };
    const auto integer = [&](size_t at, int64_t& number) {
        if (parseWholeNumber(words[at], number)) return true;
        error = "'" + words[at] + "' is no whole number";
        return false;
    };
    const auto number = [&](size_t at, double& value) {
        if (readNumber(words[at], value)) return true;
        error = "'" + words[at] + "' is no number";
        return false;
    };
    const auto word = [&](size_t at, int32_t found, const char* what) {
        if (found >= 0) {
            op.what = found;
            return true;
        }
        error = "'" + words[at] + "' is no " + what;
        return false;
    };
    switch (op.kind) {
        case OperationKind::SampleRate: return wants(1, 1) && number(1, op.value);
        case OperationKind::BlockSize:
        case OperationKind::Program:
        case OperationKind::GetParameter: return wants(1, 1) && integer(1, op.index);
        case OperationKind::ProgramName:
        case OperationKind::CanDo:
            if (!wants(1, 1)) return false;
            op.nullPointer = words[1] == "null";
            if (!op.nullPointer) op.text = words[1];
            return true;
        case OperationKind::SetParameter:
            return wants(2, 2) && integer(1, op.index) && number(2, op.value);
        case OperationKind::Text: {
            if (!wants(3, 3) || !word(1, wordIndex(kTextWords, words[1]), "text request") ||
                !integer(2, op.index))
                return false;
            op.nullPointer = words[3] == "null";
            if (op.nullPointer) return true;
            int64_t size = 0;
            if (!integer(3, size)) return false;
            if (size < 1 || size > 4096) {
                error = "a text buffer holds 1 to 4096 bytes";
                return false;
            }
            op.bufferSize = static_cast<int32_t>(size);
            return true;
        }
        case OperationKind::Query:
            if (!wants(2, 3) || !word(1, wordIndex(kQueryWords, words[1]), "query") ||
                !integer(2, op.index))
                return false;
            op.nullPointer = words.size() == 4;
            if (op.nullPointer && words[3] != "null") {
                error = "a query ends with 'null' or nothing";
                return false;
            }
            return true;
        case OperationKind::Process: {
            if (!wants(4, 6) || !integer(1, op.blocks) || !integer(2, op.index) ||
                !word(3, wordIndex(kSignalWords, words[3]), "signal"))
                return false;
            if (op.blocks < 0 || op.blocks > 100000 || op.index < 0 || op.index > 1 << 20) {
                error = "a process takes 0 to 100000 blocks of 0 to 1048576 frames";
                return false;
            }
            if (words[4] != "in-place" && words[4] != "out-of-place") {
                error = "'" + words[4] + "' is neither in-place nor out-of-place";
                return false;
            }
            op.inPlace = words[4] == "in-place";
            if (words.size() == 5) return true;
            int64_t seed = 0;
            if (words.size() != 7 || words[5] != "thread" || !integer(6, seed) || seed <= 0 ||
                seed > 0xFFFFFFFFll) {
                error = "a process ends with 'thread SEED' or nothing";
                return false;
            }
            op.threadSeed = static_cast<uint32_t>(seed);
            return true;
        }
        case OperationKind::RoundTrip:
            return wants(1, 1) && word(1, wordIndex(kRoundTripWords, words[1]), "round trip");
        default: return wants(0, 0);
    }
}
