// bench: figures for every block size, both plug-ins in one run, and a ratio
// that matches the figures printed beside it.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/tool/json_value.h"
#include "tests/tool/tool_runner.h"

namespace {

struct BenchRow {
    long block = 0;
    std::vector<double> figures;  // real-time factors lose their 'x'
};

// Rows of one plug-in: block, name, figures; the name may hold spaces.
std::vector<BenchRow> rowsFor(const std::string& out, const std::string& name) {
    std::vector<BenchRow> rows;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find(name);
        if (at == std::string::npos || line.find("processReplacing") != std::string::npos) continue;
        BenchRow row;
        row.block = std::stol(line.substr(0, at));
        std::istringstream figures(line.substr(at + name.size()));
        for (std::string figure; figures >> figure;) row.figures.push_back(std::stod(figure));
        rows.push_back(row);
    }
    return rows;
}

TEST(Bench, TwoPluginsTakingTurns) {
    DEBIAN_PLUGIN_OR_SKIP(eq, "3BandEQ-vst.so");
    const ToolResult result =
        runTool({"bench", VARNOLET_MODULE_PATH, eq, "--block",
                 "64,256", "--seconds", "0.05", "--rounds", "3", "--warm-up", "0.01"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto ours = rowsFor(result.out, "Varnolet Delay");
    const auto theirs = rowsFor(result.out, "3BandEQ");
    const auto ratios = rowsFor(result.out, "ratio second/first");
    ASSERT_EQ(ours.size(), 2u) << result.out;
    ASSERT_EQ(theirs.size(), 2u);
    ASSERT_EQ(ratios.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(ours[i].block, i == 0 ? 64 : 256);
        ASSERT_EQ(ours[i].figures.size(), 4u);  // noise ns, factor, tail ns, factor
        ASSERT_EQ(theirs[i].figures.size(), 4u);
        ASSERT_EQ(ratios[i].figures.size(), 2u);  // noise, tail
        for (const auto* row : {&ours[i], &theirs[i]}) {
            for (double figure : row->figures) EXPECT_GT(figure, 0.0);
            // Real-time factor and nanoseconds per frame say the same thing.
            for (size_t k : {0, 2})
                EXPECT_NEAR(row->figures[k + 1], 1e9 / (row->figures[k] * 44100.0),
                            0.01 * row->figures[k + 1] + 1.0);
        }
        for (size_t k : {0, 1})
            EXPECT_NEAR(ratios[i].figures[k], theirs[i].figures[2 * k] / ours[i].figures[2 * k],
                        0.01 * ratios[i].figures[k] + 0.002);
    }
}

TEST(Bench, APluginSlowerThanRealTimeGetsItsFactorWithSettingsAndJson) {
    // Slowness 0.75 makes every block take four times as long as it lasts:
    // a factor of at most a quarter, and never 0.
    const std::vector<std::string> arguments = {"bench", SLOW_PLUGIN_PATH, "--block", "441",
                                                "--seconds", "0.02", "--rounds", "1", "--warm-up",
                                                "0", "--set", "Slowness=0.75"};
    const ToolResult table = runTool(arguments);
    ASSERT_EQ(table.status, 0) << table.err;
    const auto rows = rowsFor(table.out, "Slow Fixture");
    ASSERT_EQ(rows.size(), 1u) << table.out;
    ASSERT_EQ(rows[0].figures.size(), 4u);
    for (size_t k : {0, 2}) {
        EXPECT_GT(rows[0].figures[k + 1], 0.0) << table.out;
        EXPECT_LE(rows[0].figures[k + 1], 0.25 * 1.01) << table.out;
        EXPECT_NEAR(rows[0].figures[k + 1], 1e9 / (rows[0].figures[k] * 44100.0),
                    0.01 * rows[0].figures[k + 1]);
    }

    std::vector<std::string> json = arguments;
    json.push_back("--json");
    const ToolResult report = runTool(json);
    ASSERT_EQ(report.status, 0) << report.err;
    JsonValue value;
    ASSERT_TRUE(parseJson(report.out, value)) << report.out;
    EXPECT_EQ(value["plugins"][0]["name"].text, "Slow Fixture");
    const JsonValue& result = value["blocks"][0]["results"][0];
    EXPECT_EQ(value["blocks"][0]["block"].number, 441);
    EXPECT_GT(result["noiseRealTimeFactor"].number, 0.0);
    EXPECT_LE(result["noiseRealTimeFactor"].number, 0.25 * 1.01);
    EXPECT_NEAR(result["tailRealTimeFactor"].number,
                1e9 / (result["tailNanosecondsPerFrame"].number * 44100.0), 1e-6);
    EXPECT_EQ(runTool({"bench", SLOW_PLUGIN_PATH, "--set", "Speed=1"}).status, 1);
}

TEST(Bench, ShowsProgressOnATerminal) {
    if (runProgram({"script", "--version"}).status != 0) GTEST_SKIP() << "no script(1) to make a terminal";
    const std::string command = std::string(VST2HOST_PATH) + " bench " + SLOW_PLUGIN_PATH +
                                " --block 441 --seconds 0.05 --rounds 1 --warm-up 0";
    const ToolResult result = runProgram({"script", "-qec", command, "/dev/null"});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("timing ["), std::string::npos) << result.out;
}

TEST(Bench, OnePluginAndRefusals) {
    ToolResult result = runTool({"bench", VARNOLET_MODULE_PATH, "--rate", "48000", "--block", "128",
                                 "--seconds", "0.02", "--rounds", "1", "--warm-up", "0"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("at 48000 Hz"), std::string::npos);
    EXPECT_EQ(rowsFor(result.out, "Varnolet Delay").size(), 1u);
    EXPECT_EQ(result.out.find("ratio"), std::string::npos);
    EXPECT_EQ(runTool({"bench", NULL_ENTRY_MODULE_PATH, "--seconds", "0.01"}).status, 1);
    EXPECT_EQ(runTool({"bench", VARNOLET_MODULE_PATH, "--block", "64,x"}).status, 2);
}

}  // namespace
