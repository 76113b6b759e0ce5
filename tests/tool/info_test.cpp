// What info reports, as text and as JSON, for our plug-in and a Debian one.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "tests/tool/json_value.h"
#include "tests/tool/tool_runner.h"

namespace {

JsonValue infoJson(const std::vector<std::string>& extra) {
    std::vector<std::string> arguments = {"info", "--json"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    const ToolResult result = runTool(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    JsonValue json;
    EXPECT_TRUE(parseJson(result.out, json)) << result.out;
    return json;
}

TEST(Info, VarnoletIdentityLayoutAndFlags) {
    const JsonValue info = infoJson({VARNOLET_MODULE_PATH});
    EXPECT_EQ(info["effectName"].text, "TolmVarnolet");
    EXPECT_EQ(info["product"].text, "Varnolet Delay");
    EXPECT_EQ(info["vendor"].text, "Tolmark");
    EXPECT_EQ(info["vendorVersion"].number, 65543);
    EXPECT_EQ(info["vstVersion"].number, 2400);
    EXPECT_EQ(info["category"]["number"].number, 1);
    EXPECT_EQ(info["category"]["name"].text, "Effect");
    EXPECT_EQ(info["uniqueId"]["text"].text, "TmVd");
    EXPECT_EQ(info["uniqueId"]["number"].number, 0x546D5664);
    EXPECT_EQ(info["inputs"].number, 2);
    EXPECT_EQ(info["outputs"].number, 2);
    EXPECT_EQ(info["flags"]["value"].number, 16);
    ASSERT_EQ(info["flags"]["names"].items.size(), 1u);
    EXPECT_EQ(info["flags"]["names"][0].text, "effFlagsCanReplacing");
    EXPECT_EQ(info["initialDelay"].number, 0);
}

TEST(Info, VarnoletParametersAndPrograms) {
    const JsonValue info = infoJson({VARNOLET_MODULE_PATH});
    const JsonValue& parameters = info["parameters"];
    ASSERT_EQ(parameters.items.size(), 23u);
    for (size_t i = 0; i < parameters.items.size(); ++i)
        EXPECT_EQ(parameters[i]["index"].number, static_cast<double>(i));
    EXPECT_EQ(parameters[0]["name"].text, "Tap 1 time");
    EXPECT_EQ(parameters[0]["label"].text, "ms");
    EXPECT_EQ(parameters[0]["display"].text, "200.0");
    EXPECT_NEAR(parameters[0]["value"].number, 0.1, 1e-7);
    EXPECT_EQ(parameters[5]["display"].text, "-0.333");
    EXPECT_EQ(parameters[14]["display"].text, "40.00");
    EXPECT_EQ(parameters[17]["name"].text, "Filter Cutoff");
    EXPECT_EQ(parameters[17]["label"].text, "Hz");
    EXPECT_NEAR(parameters[17]["value"].number, std::log(20.0) / std::log(160.0), 1e-6);
    EXPECT_EQ(parameters[19]["display"].text, "Thru");
    EXPECT_EQ(parameters[22]["name"].text, "Master feedback");
    EXPECT_EQ(parameters[22]["display"].text, "100.0");
    ASSERT_EQ(info["programs"].items.size(), 8u);
    for (const JsonValue& program : info["programs"].items) EXPECT_EQ(program["name"].text, "Defaults");
    EXPECT_EQ(info["currentProgram"].number, 0);
}

TEST(Info, TextReportShowsTheSameFacts) {
    const ToolResult result = runTool({"info", VARNOLET_MODULE_PATH});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("'TmVd' 1416451684 (0x546D5664)"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Flags:           effFlagsCanReplacing\n"), std::string::npos);
    EXPECT_NE(result.out.find("Inputs/outputs:  2 / 2"), std::string::npos);
    EXPECT_NE(result.out.find("Master feedback"), std::string::npos);
    EXPECT_EQ(linesStartingWith(result.out, "  ").size(), 1u + 23u + 8u);
}

TEST(Info, SettingsApplyBeforeTheReport) {
    // By name as displayed, by index normalised, and a named value by its name.
    const JsonValue info = infoJson({VARNOLET_MODULE_PATH, "--set", "tap 1 TIME=@300", "--set",
                                     "4=0.25", "--set", "Filter Type=@Band", "--set",
                                     "Filter Cutoff=@632.5"});
    const JsonValue& parameters = info["parameters"];
    EXPECT_EQ(parameters[0]["display"].text, "300.0");
    EXPECT_EQ(parameters[4]["display"].text, "500.0");
    EXPECT_EQ(parameters[19]["display"].text, "Band");
    // The cutoff is logarithmic: 632.5 Hz lies half way up 50 to 8000.
    EXPECT_EQ(parameters[17]["display"].text, "632.5");
    EXPECT_NEAR(parameters[17]["value"].number, 0.5, 1e-4);
}

TEST(Info, DisplayedValuesAreTheValuesThemselvesNotTheEdgeOfTheirRounding) {
    const JsonValue info = infoJson({VARNOLET_MODULE_PATH, "--set", "Filter Cutoff=@1000", "--set",
                                     "Wet/Dry mix=@0.6"});
    // The cutoff runs from 50 Hz, 160 times up; the mix is its own value.
    EXPECT_NEAR(info["parameters"][17]["value"].number, std::log(20.0) / std::log(160.0), 1e-6);
    EXPECT_EQ(static_cast<float>(info["parameters"][16]["value"].number), 0.6f);
}

TEST(Info, ThirdPartyPlugin) {
    DEBIAN_PLUGIN_OR_SKIP(eq, "3BandEQ-vst.so");
    const JsonValue info = infoJson({eq});
    EXPECT_EQ(info["vendor"].text, "DISTRHO");
    EXPECT_EQ(info["uniqueId"]["text"].text, "D3EQ");
    EXPECT_EQ(info["inputs"].number, 2);
    EXPECT_EQ(info["outputs"].number, 2);
    ASSERT_EQ(info["parameters"].items.size(), 6u);
    EXPECT_EQ(info["parameters"][0]["name"].text, "Low");
    EXPECT_EQ(info["parameters"][0]["label"].text, "dB");
    EXPECT_EQ(info["programs"].items.size(), 1u);
    bool editor = false;
    for (const JsonValue& flag : info["flags"]["names"].items) editor |= flag.text == "effFlagsHasEditor";
    EXPECT_TRUE(editor);

    const JsonValue set = infoJson({eq, "--set", "Master=@-6"});
    EXPECT_NEAR(std::stod(set["parameters"][3]["display"].text), -6.0, 1e-3);
}

TEST(Info, JsonIsValidUtf8WhateverTextsThePluginGives) {
    const ToolResult result = runTool({"info", "--json", ROUGH_PLUGIN_PATH});
    ASSERT_EQ(result.status, 0) << result.err;
    JsonValue json;
    EXPECT_TRUE(parseJson(result.out, json)) << result.out;
    // glibc's iconv, which knows no overlong forms and no surrogates, reads it.
    ScratchDirectory dir;
    const std::string copy = dir.file("info.json");
    std::ofstream(copy, std::ios::binary) << result.out;
    EXPECT_EQ(runProgram({"iconv", "-f", "UTF-8", "-t", "UTF-32", "-o", dir.file("out"), copy}).status, 0)
        << result.out;
    // Bytes that are no UTF-8 are read as Latin-1; UTF-8 stays as it is.
    for (const char* text : {"\"effectName\":\"Over\\u00c0\\u00aflong\"",
                             "\"vendor\":\"Sur\\u00ed\\u00a0\\u0080rogate\"",
                             "\"label\":\"\\u00f4\\u0090\\u0080\\u0080\"",
                             "\"display\":\"caf\\u00e9\"", "\"name\":\"\\u00e0\\u0080\\u00af\"",
                             "\"name\":\"Gr\xC3\xB6\xC3\x9F" "e\""})
        EXPECT_NE(result.out.find(text), std::string::npos) << text << " in " << result.out;
}

TEST(Info, MonoThirdPartyPlugin) {
    DEBIAN_PLUGIN_OR_SKIP(reverb, "MaFreeverb-vst.so");
    const JsonValue info = infoJson({reverb});
    EXPECT_EQ(info["inputs"].number, 1);
    EXPECT_EQ(info["outputs"].number, 1);
}

}  // namespace
