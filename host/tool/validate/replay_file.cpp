#include "host/tool/validate/replay_file.h"

#include <cstdlib>
#include <sstream>

namespace {
constexpr const char* kFirstLine = "# vst2host validate reproducer";

// One line of header: a word, a space, the rest.
bool splitHeader(const std::string& line, std::string& word, std::string& rest) {
    const size_t space = line.find(' ');
    word = line.substr(0, space);
    rest = space == std::string::npos ? "" : line.substr(space + 1);
    return !word.empty();
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}
}  // namespace

std::string formatReplay(const ReplayFile& replay) {
    std::ostringstream out;
    out << kFirstLine << "\n"
        << "# Play it again with: vst2host validate --replay THIS-FILE [PLUGIN]\n"
        << "# After a non-finite output the validator resets the plug-in and feeds it 2 s of\n"
        << "# clean input to see whether it recovers; that is part of the check, not of the list.\n"
        << "plugin " << oneLine(replay.pluginPath) << "\n"
        << "strictness " << strictnessWord(replay.strictness) << "\n"
        << "seed " << replay.seed << "\n"
        << "sequence " << replay.sequence << "\n"
        << "max-level " << replay.maxLevelDb << "\n"
        << "kind " << kindWord(replay.kind) << "\n"
        << "finding " << oneLine(replay.findingKey) << "\n"
        << "seen " << oneLine(replay.seen) << "\n"
        << "reason " << oneLine(replay.reason) << "\n"
        << "operations " << replay.operations.size() << "\n";
    for (const Operation& op : replay.operations) out << formatOperation(op) << "\n";
    return out.str();
}

bool parseReplay(const std::string& text, ReplayFile& replay, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool inOperations = false, sawPlugin = false, sawKind = false;
    size_t expected = 0;
    replay = ReplayFile();
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (inOperations) {
            Operation op;
            if (!parseOperation(line, op, error)) {
                error = where + error;
                return false;
            }
            replay.operations.push_back(op);
            continue;
        }
        std::string word, rest;
        splitHeader(line, word, rest);
        char* end = nullptr;
        if (word == "plugin") {
            replay.pluginPath = rest;
            sawPlugin = true;
        } else if (word == "strictness" && (rest == "polite" || rest == "hostile")) {
            replay.strictness = rest == "hostile" ? Strictness::Hostile : Strictness::Polite;
        } else if (word == "seed" || word == "sequence") {
            const unsigned long long value = std::strtoull(rest.c_str(), &end, 10);
            if (rest.empty() || *end != '\0') {
                error = where + word + " needs a whole number";
                return false;
            }
            (word == "seed" ? replay.seed : replay.sequence) = value;
        } else if (word == "max-level") {
            replay.maxLevelDb = std::strtod(rest.c_str(), &end);
            if (rest.empty() || *end != '\0') {
                error = where + "max-level needs a number of dB";
                return false;
            }
        } else if (word == "kind") {
            if (!kindByWord(rest.c_str(), replay.kind)) {
                error = where + "no finding is of the kind '" + rest + "'";
                return false;
            }
            sawKind = true;
        } else if (word == "finding") {
            replay.findingKey = rest;
        } else if (word == "seen") {
            replay.seen = rest;
        } else if (word == "reason") {
            replay.reason = rest;
        } else if (word == "operations") {
            expected = std::strtoull(rest.c_str(), &end, 10);
            inOperations = true;
        } else {
            error = where + "'" + line + "' belongs in no reproducer";
            return false;
        }
    }
    if (!sawPlugin || !inOperations) {
        error = "not a vst2host validate reproducer: it names no plug-in or no operations";
        return false;
    }
    // Files from before the kind had its own line: the key starts with it.
    if (!sawKind) kindByWord(replay.findingKey.substr(0, replay.findingKey.find(':')).c_str(), replay.kind);
    if (replay.operations.size() != expected) {
        error = "the reproducer is cut short: " + std::to_string(expected) + " operations announced, " +
                std::to_string(replay.operations.size()) + " found";
        return false;
    }
    return true;
}
