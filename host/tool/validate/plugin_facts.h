// What the validator learns of a plug-in before it starts: the counts and
// flags of its record and its names, read in a child process of their own.
#pragma once

#include <cstdint>
#include <string>

enum class Strictness { Polite, Hostile };

const char* strictnessWord(Strictness strictness);

struct PluginFacts {
    int32_t numParams = 0;
    int32_t numPrograms = 0;
    int32_t numInputs = 0;
    int32_t numOutputs = 0;
    int32_t flags = 0;
    int32_t uniqueId = 0;
    std::string name;  // the product, else the effect name
    bool takesNotes = false;  // an instrument, or an effect that says it receives MIDI

    bool hasChunks() const;
};
