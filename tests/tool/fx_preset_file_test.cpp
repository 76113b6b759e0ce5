// Preset files that claim more than they hold are refused on every word
// size: a count times its size is worked out in 64 bits, so it cannot wrap
// where size_t has 32 (there 0x40000001 values of 4 bytes came to 4).
#include <gtest/gtest.h>

#include "host/library/fx_preset.h"

namespace {

void put(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void putText(std::vector<uint8_t>& bytes, const char* text) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(text[i]));
}

// A program of count values after its header, holding only the values given.
std::vector<uint8_t> program(uint32_t count, size_t valuesHeld) {
    std::vector<uint8_t> bytes;
    putText(bytes, "CcnK");
    put(bytes, static_cast<uint32_t>(48 + 4 * valuesHeld));
    putText(bytes, "FxCk");
    put(bytes, 1);
    put(bytes, 0x546D5664);
    put(bytes, 1);
    put(bytes, count);
    bytes.resize(bytes.size() + 28 + 4 * valuesHeld, 0);  // name, values
    return bytes;
}

// A bank of count programs, holding the bytes of one program header.
std::vector<uint8_t> bank(uint32_t count) {
    std::vector<uint8_t> bytes;
    putText(bytes, "CcnK");
    put(bytes, 0);
    putText(bytes, "FxBk");
    put(bytes, 2);
    put(bytes, 0x546D5664);
    put(bytes, 1);
    put(bytes, count);
    put(bytes, 0);
    bytes.resize(bytes.size() + 124, 0);
    const std::vector<uint8_t> one = program(0, 0);
    bytes.insert(bytes.end(), one.begin(), one.end());
    return bytes;
}

TEST(FxPresetFile, CountsBeyondTheFileAreRefusedWhateverTheyMultiplyTo) {
    FxPreset preset;
    std::string error;
    EXPECT_FALSE(parseFxPreset(program(0x40000001u, 1), preset, error));
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
    // 56 bytes a program header: 0x04924925 of them come to 24 in 32 bits.
    error.clear();
    EXPECT_FALSE(parseFxPreset(bank(0x04924925u), preset, error));
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
    // What the files do hold still loads.
    EXPECT_TRUE(parseFxPreset(program(1, 1), preset, error)) << error;
    EXPECT_EQ(preset.program.values.size(), 1u);
    EXPECT_TRUE(parseFxPreset(bank(1), preset, error)) << error;
    EXPECT_EQ(preset.bank.programs.size(), 1u);
}

}  // namespace
