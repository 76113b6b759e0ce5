// diff: the peak and RMS difference and the first differing frame, and the
// exit status against a tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tests/tool/json_value.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class DiffTest : public ::testing::Test {
protected:
    void SetUp() override {
        a = dir.file("a.wav");
        b = dir.file("b.wav");
        base = noiseSound(44100, 2, 1000, 0.5f, 1);
        ASSERT_TRUE(writeSound(a, base));
    }

    std::string line(const ToolResult& result, const std::string& start) {
        const auto lines = linesStartingWith(result.out, start);
        return lines.empty() ? std::string() : lines[0];
    }

    ScratchDirectory dir;
    std::string a, b;
    Sound base;
};

TEST_F(DiffTest, IdenticalFiles) {
    ASSERT_TRUE(writeSound(b, base));
    const ToolResult result = runTool({"diff", a, b});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(line(result, "first differing frame:"), "first differing frame: none");
    EXPECT_EQ(line(result, "peak difference:"), "peak difference:       -inf dB");
}

TEST_F(DiffTest, OneChangedSample) {
    Sound changed = base;
    changed.channels[1][100] += 0.001f;
    ASSERT_TRUE(writeSound(b, changed));
    const double error = std::fabs(double{changed.channels[1][100]} - base.channels[1][100]);
    char peak[64], rms[64];
    std::snprintf(peak, sizeof peak, "%.2f dB (frame 100, channel 1)", 20 * std::log10(error));
    std::snprintf(rms, sizeof rms, "%.2f dB", 20 * std::log10(error / std::sqrt(2000.0)));

    const ToolResult strict = runTool({"diff", a, b});
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(line(strict, "peak difference:"), std::string("peak difference:       ") + peak);
    EXPECT_EQ(line(strict, "rms difference:"), std::string("rms difference:        ") + rms);
    EXPECT_EQ(line(strict, "first differing frame:"), "first differing frame: 100");
    EXPECT_EQ(runTool({"diff", a, b, "--tolerance", "-50"}).status, 0);
    EXPECT_EQ(runTool({"diff", a, b, "--tolerance", "-70"}).status, 1);
}

TEST_F(DiffTest, ShorterFileCountsAsSilenceAfterItsEnd) {
    Sound shorter = base;
    for (auto& channel : shorter.channels) channel.resize(900);
    ASSERT_TRUE(writeSound(b, shorter));
    const ToolResult result = runTool({"diff", a, b});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(line(result, "frames:"), "frames:                1000 and 900");
    EXPECT_EQ(line(result, "first differing frame:"), "first differing frame: 900");
}

TEST_F(DiffTest, AZeroPaddedCopyDiffersInLength) {
    Sound padded = base;
    for (auto& channel : padded.channels) channel.resize(1100, 0.0f);
    ASSERT_TRUE(writeSound(b, padded));
    const ToolResult result = runTool({"diff", a, b});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(line(result, "length difference:"), "length difference:     B is 100 frames longer");
    EXPECT_EQ(line(result, "different"), "different: B is 100 frames longer");
    const ToolResult common = runTool({"diff", a, b, "--ignore-length"});
    EXPECT_EQ(common.status, 0) << common.out;
    EXPECT_EQ(line(common, "identical"), "identical");
}

TEST_F(DiffTest, JsonReport) {
    Sound changed = base;
    changed.channels[0][300] = 0.75f;
    for (auto& channel : changed.channels) channel.resize(990);
    ASSERT_TRUE(writeSound(b, changed));
    const ToolResult result = runTool({"diff", a, b, "--json", "--tolerance", "-3"});
    EXPECT_EQ(result.status, 1);
    JsonValue json;
    ASSERT_TRUE(parseJson(result.out, json)) << result.out;
    EXPECT_EQ(json["framesA"].number, 1000);
    EXPECT_EQ(json["framesB"].number, 990);
    const double error = std::fabs(0.75 - double{base.channels[0][300]});
    EXPECT_NEAR(json["peak"].number, error, 1e-7);
    EXPECT_NEAR(json["peakDecibels"].number, 20 * std::log10(error), 1e-5);
    EXPECT_EQ(json["peakFrame"].number, 300);
    EXPECT_EQ(json["peakChannel"].number, 0);
    EXPECT_EQ(json["firstDifferentFrame"].number, 300);
    EXPECT_EQ(json["toleranceDecibels"].number, -3);
    EXPECT_FALSE(json["same"].boolean);

    ASSERT_TRUE(writeSound(b, base));
    const ToolResult same = runTool({"diff", a, b, "--json"});
    EXPECT_EQ(same.status, 0);
    ASSERT_TRUE(parseJson(same.out, json)) << same.out;
    EXPECT_EQ(json["peakDecibels"].type, JsonValue::Type::Null);
    // Identical files have no peak difference anywhere.
    EXPECT_EQ(json["peakFrame"].type, JsonValue::Type::Null);
    EXPECT_EQ(json["peakChannel"].type, JsonValue::Type::Null);
    EXPECT_EQ(json["firstDifferentFrame"].type, JsonValue::Type::Null);
    EXPECT_TRUE(json["same"].boolean);
}

TEST_F(DiffTest, FilesThatCannotBeCompared) {
    ASSERT_TRUE(writeSound(b, noiseSound(44100, 1, 1000, 0.5f, 1)));
    ToolResult result = runTool({"diff", a, b});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot compare 2 channels with 1"), std::string::npos);
    ASSERT_TRUE(writeSound(b, noiseSound(48000, 2, 1000, 0.5f, 1)));
    result = runTool({"diff", a, b});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("44100 Hz with audio at 48000 Hz"), std::string::npos);
    EXPECT_EQ(runTool({"diff", a, a, "--tolerance", "small"}).status, 2);
}

// Trouble is not difference: a file that cannot be read exits 2, as cmp and
// diff do, and says why in the system's words, not the library's.
TEST_F(DiffTest, AFileThatCannotBeReadIsTroubleNotADifference) {
    const std::string text = dir.file("notes.wav");
    ASSERT_TRUE(writeSound(b, base));
    std::FILE* file = std::fopen(text.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("no audio here\n", file);
    std::fclose(file);
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("absent.wav"), ": No such file or directory"},
        {dir.path, ": it is a directory"},
        {text, ": its format is not one libsndfile reads"},
    };
    for (const auto& [path, reason] : cases) {
        for (const auto& pair : {std::make_pair(a, path), std::make_pair(path, b)}) {
            const ToolResult result = runTool({"diff", pair.first, pair.second});
            EXPECT_EQ(result.status, 2) << path;
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err, "vst2host: cannot read audio from " + path + reason + "\n");
        }
    }
}

}  // namespace
