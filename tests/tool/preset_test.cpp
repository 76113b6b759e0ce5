// .fxp and .fxb files: what save-preset writes, byte by byte, and what
// --preset loads, including files written here independently.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "tests/tool/json_value.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

std::vector<uint8_t> readBytes(const std::string& path) {
    const std::string text = readText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

uint32_t bigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return (uint32_t{bytes.at(at)} << 24) | (uint32_t{bytes.at(at + 1)} << 16) |
           (uint32_t{bytes.at(at + 2)} << 8) | uint32_t{bytes.at(at + 3)};
}

float bigEndianFloat(const std::vector<uint8_t>& bytes, size_t at) {
    const uint32_t bits = bigEndian(bytes, at);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

std::string fourChars(const std::vector<uint8_t>& bytes, size_t at) {
    return std::string(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at) + 4);
}

void putBigEndian(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void putFloat(std::vector<uint8_t>& bytes, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putBigEndian(bytes, bits);
}

// A program file as a DAW exports it: 'CcnK', size, 'FxCk', version 1,
// plug-in ID and version, value count, a 28-byte name, big-endian floats.
std::vector<uint8_t> programFile(uint32_t id, const std::string& name,
                                 const std::vector<float>& values) {
    std::vector<uint8_t> bytes;
    for (char c : std::string("CcnK")) bytes.push_back(static_cast<uint8_t>(c));
    putBigEndian(bytes, static_cast<uint32_t>(48 + 4 * values.size()));
    for (char c : std::string("FxCk")) bytes.push_back(static_cast<uint8_t>(c));
    putBigEndian(bytes, 1);
    putBigEndian(bytes, id);
    putBigEndian(bytes, 1);
    putBigEndian(bytes, static_cast<uint32_t>(values.size()));
    for (size_t i = 0; i < 28; ++i) bytes.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
    for (float value : values) putFloat(bytes, value);
    return bytes;
}

std::vector<float> defaultValues(const std::string& plugin) {
    const ToolResult result = runTool({"info", "--json", plugin});
    JsonValue info;
    EXPECT_TRUE(parseJson(result.out, info));
    std::vector<float> values;
    for (const JsonValue& parameter : info["parameters"].items)
        values.push_back(static_cast<float>(parameter["value"].number));
    return values;
}

class PresetTest : public ::testing::Test {
protected:
    size_t firstLeftEcho(const std::vector<std::string>& options) {
        const std::string in = dir.file("click.wav"), out = dir.file("out.wav");
        EXPECT_TRUE(writeSound(in, clickSound(44100, 2, 100, 0.2f)));
        std::vector<std::string> arguments = {"render", VARNOLET_MODULE_PATH, in, out, "--tail", "1"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return firstNonZero(readSound(out).channels.at(0));
    }

    ScratchDirectory dir;
};

TEST_F(PresetTest, SavedProgramFileLayout) {
    const std::string path = dir.file("defaults.fxp");
    const ToolResult result = runTool({"save-preset", VARNOLET_MODULE_PATH, path});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<uint8_t> bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 56u + 23u * 4u);
    EXPECT_EQ(fourChars(bytes, 0), "CcnK");
    EXPECT_EQ(bigEndian(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(fourChars(bytes, 8), "FxCk");
    EXPECT_EQ(bigEndian(bytes, 12), 1u);
    EXPECT_EQ(fourChars(bytes, 16), "TmVd");
    EXPECT_EQ(bigEndian(bytes, 20), 1u);
    EXPECT_EQ(bigEndian(bytes, 24), 23u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[28])), "Defaults");
    EXPECT_FLOAT_EQ(bigEndianFloat(bytes, 56), 0.1f);       // tap 1 time
    EXPECT_FLOAT_EQ(bigEndianFloat(bytes, 56 + 14 * 4), 0.4f);  // tap 4 feedback
    EXPECT_FLOAT_EQ(bigEndianFloat(bytes, 56 + 22 * 4), 0.5f);  // master feedback
}

TEST_F(PresetTest, ProgramFileWrittenElsewhereLoads) {
    std::vector<float> values = defaultValues(VARNOLET_MODULE_PATH);
    ASSERT_EQ(values.size(), 23u);
    values[0] = 0.05f;  // tap 1 at 100 ms
    const std::string path = dir.file("short.fxp");
    writeBytes(path, programFile(0x546D5664, "Short", values));
    EXPECT_EQ(firstLeftEcho({"--preset", path}), 4410u);

    const ToolResult info = runTool({"info", "--json", VARNOLET_MODULE_PATH, "--preset", path});
    JsonValue json;
    ASSERT_TRUE(parseJson(info.out, json)) << info.err;
    EXPECT_EQ(json["programs"][0]["name"].text, "Short");
    EXPECT_EQ(json["parameters"][0]["display"].text, "100.0");
}

TEST_F(PresetTest, BankRoundTripKeepsEveryProgramAndTheCurrentOne) {
    const std::string path = dir.file("bank.fxb");
    const ToolResult saved = runTool({"save-preset", VARNOLET_MODULE_PATH, path, "--program", "3",
                                      "--set", "Tap 1 time=0.05"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const std::vector<uint8_t> bytes = readBytes(path);
    const size_t programBytes = 56 + 23 * 4;
    ASSERT_EQ(bytes.size(), 156u + 8u * programBytes);
    EXPECT_EQ(fourChars(bytes, 8), "FxBk");
    EXPECT_EQ(bigEndian(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(bigEndian(bytes, 12), 2u);
    EXPECT_EQ(fourChars(bytes, 16), "TmVd");
    EXPECT_EQ(bigEndian(bytes, 24), 8u);
    EXPECT_EQ(bigEndian(bytes, 28), 3u);  // current program
    for (size_t p = 0; p < 8; ++p) {
        const size_t at = 156 + p * programBytes;
        EXPECT_EQ(fourChars(bytes, at), "CcnK");
        EXPECT_EQ(fourChars(bytes, at + 8), "FxCk");
        EXPECT_FLOAT_EQ(bigEndianFloat(bytes, at + 56), p == 3 ? 0.05f : 0.1f) << p;
    }
    EXPECT_EQ(firstLeftEcho({"--preset", path}), 4410u);
    EXPECT_EQ(firstLeftEcho({"--preset", path, "--program", "0"}), 8820u);
    EXPECT_EQ(firstLeftEcho({"--preset", path, "--program", "3"}), 4410u);
}

TEST_F(PresetTest, ThirdPartyProgramRoundTrip) {
    DEBIAN_PLUGIN_OR_SKIP(plugin, "3BandEQ-vst.so");
    const std::string path = dir.file("eq.fxp");
    ASSERT_EQ(runTool({"save-preset", plugin, path, "--set", "Master=0.25"}).status, 0);
    EXPECT_EQ(fourChars(readBytes(path), 16), "D3EQ");
    const ToolResult info = runTool({"info", "--json", plugin, "--preset", path});
    JsonValue json;
    ASSERT_TRUE(parseJson(info.out, json)) << info.err;
    EXPECT_NEAR(json["parameters"][3]["value"].number, 0.25, 1e-6);
    EXPECT_NEAR(std::stod(json["parameters"][3]["display"].text), -12.0, 1e-3);
}

TEST_F(PresetTest, RefusedPresets) {
    // A program of another plug-in ('D3EQ'), with six values.
    const std::string eq = dir.file("eq.fxp");
    writeBytes(eq, programFile(0x44334551, "Other", std::vector<float>(6, 0.5f)));
    std::vector<uint8_t> cut = programFile(0x546D5664, "Cut", std::vector<float>(23, 0.5f));
    cut.resize(cut.size() - 10);
    const std::string cutPath = dir.file("cut.fxp");
    writeBytes(cutPath, cut);
    const std::string fewPath = dir.file("few.fxp");
    writeBytes(fewPath, programFile(0x546D5664, "Few", std::vector<float>(5, 0.5f)));
    const std::string textPath = dir.file("text.fxp");
    std::ofstream(textPath) << "not a preset at all";
    // A count whose four bytes per value wrap 32 bits to 4, with one value.
    std::vector<uint8_t> huge = programFile(0x546D5664, "Huge", {0.5f});
    for (size_t i = 0; i < 4; ++i) huge[24 + i] = i == 0 ? 0x40 : i == 3 ? 0x01 : 0x00;
    const std::string hugePath = dir.file("huge.fxp");
    writeBytes(hugePath, huge);

    const std::pair<std::string, std::string> cases[] = {
        {eq, "the preset is for the plug-in with ID 0x44334551"},
        {cutPath, "cut short"},
        {hugePath, "cut short"},
        {fewPath, "the preset has 5 parameter values; the plug-in has 23"},
        {textPath, "does not start with 'CcnK'"},
        {dir.file("absent.fxp"), "cannot read " + dir.file("absent.fxp") + ": No such file or directory"}};
    for (const auto& [preset, words] : cases) {
        const std::string out = dir.file("out.wav"), in = dir.file("in.wav");
        ASSERT_TRUE(writeSound(in, clickSound(44100, 2, 100, 0.2f)));
        const ToolResult result =
            runTool({"render", VARNOLET_MODULE_PATH, in, out, "--preset", preset});
        EXPECT_EQ(result.status, 1) << preset;
        EXPECT_NE(result.err.find(words), std::string::npos) << result.err;
        EXPECT_FALSE(fileExists(out));
    }
}

TEST_F(PresetTest, ChunkPluginProgramAndBank) {
    const std::string program = dir.file("chunk.fxp"), bank = dir.file("chunk.fxb");
    ASSERT_EQ(runTool({"save-preset", CHUNK_PLUGIN_PATH, program, "--set", "First byte=0.5"}).status, 0);
    ASSERT_EQ(runTool({"save-preset", CHUNK_PLUGIN_PATH, bank}).status, 0);

    const std::vector<uint8_t> p = readBytes(program);
    ASSERT_EQ(p.size(), 60u + 14u);
    EXPECT_EQ(fourChars(p, 8), "FPCh");
    EXPECT_EQ(bigEndian(p, 4), p.size() - 8);
    EXPECT_EQ(fourChars(p, 16), "ChNk");
    EXPECT_EQ(bigEndian(p, 20), 3u);  // the plug-in's version
    EXPECT_EQ(bigEndian(p, 24), 1u);  // its parameter count
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p[28])), "Chunk");
    EXPECT_EQ(bigEndian(p, 56), 14u);
    EXPECT_EQ(p[60], 128);  // 0.5 of 255, rounded
    EXPECT_EQ(std::string(p.begin() + 61, p.end()), "hunk state v1");

    const std::vector<uint8_t> b = readBytes(bank);
    ASSERT_EQ(b.size(), 156u + 4u + 14u);
    EXPECT_EQ(fourChars(b, 8), "FBCh");
    EXPECT_EQ(bigEndian(b, 24), 1u);  // program count
    EXPECT_EQ(bigEndian(b, 156), 14u);
    EXPECT_EQ(std::string(b.begin() + 160, b.end()), "chunk state v1");

    // Loading hands the chunk back: the program's to program 0, the bank's whole.
    const ToolResult loaded = runTool({"--log", "info", "--json", CHUNK_PLUGIN_PATH, "--preset", program});
    JsonValue json;
    ASSERT_TRUE(parseJson(loaded.out, json)) << loaded.err;
    EXPECT_EQ(json["parameters"][0]["display"].text, "128");
    EXPECT_EQ(linesStartingWith(loaded.err, "-> effSetChunk index=1 value=14 ").size(), 1u);
    const ToolResult whole = runTool({"--log", "info", CHUNK_PLUGIN_PATH, "--preset", bank});
    EXPECT_EQ(linesStartingWith(whole.err, "-> effSetChunk index=0 value=14 ").size(), 1u);

    // A chunk for a plug-in that takes none.
    std::vector<uint8_t> foreign = p;
    foreign[16] = 'T', foreign[17] = 'm', foreign[18] = 'V', foreign[19] = 'd';
    const std::string foreignPath = dir.file("foreign.fxp");
    writeBytes(foreignPath, foreign);
    const ToolResult refused = runTool({"info", VARNOLET_MODULE_PATH, "--preset", foreignPath});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("this plug-in does not take chunks"), std::string::npos) << refused.err;
}

}  // namespace
