// The standard preset files of VST 2 hosts: a program (.fxp) holds one set of
// parameter values or one opaque chunk, a bank (.fxb) holds every program.
// All numbers in the files are big-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FxProgram {
    int32_t pluginId = 0;
    int32_t pluginVersion = 0;
    std::string name;  // at most 27 characters travel
    bool opaque = false;
    std::vector<float> values;  // when not opaque
    std::vector<uint8_t> chunk;  // when opaque
    int32_t chunkParameterCount = 0;  // the plug-in's count, stated beside a chunk
};

struct FxBank {
    int32_t pluginId = 0;
    int32_t pluginVersion = 0;
    int32_t currentProgram = 0;  // version 2 banks only; version 1 means 0
    bool opaque = false;
    std::vector<FxProgram> programs;  // when not opaque
    std::vector<uint8_t> chunk;  // when opaque
    int32_t chunkProgramCount = 0;  // the plug-in's count, stated beside a chunk
};

struct FxPreset {
    bool isBank = false;
    FxProgram program;
    FxBank bank;
};

// Returns false, with the reason in error, for anything that is not a
// well-formed program or bank file.
bool parseFxPreset(const std::vector<uint8_t>& bytes, FxPreset& preset, std::string& error);

std::vector<uint8_t> serializeFxProgram(const FxProgram& program);
std::vector<uint8_t> serializeFxBank(const FxBank& bank);
