// Every port of the LV2 plug-in as a host reads it: lv2info (lilv-utils)
// lists what it found in the bundle, and that must match the parameter table
// as the plug-in's users know it.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/parameter_table.h"

#ifndef VARNOLET_LV2_BUNDLE
#error "the tests need the path of the built LV2 bundle"
#endif

namespace {

constexpr int kAudioPorts = 4;

// One port of lv2info's report: "\t\tKey: value" fields, a line of spaces
// continuing the field before, and "\t\t\tV = \"Label\"" scale points.
struct Port {
    std::map<std::string, std::string> fields;  // "Symbol", "Minimum", ... ; "Type" all of them
    std::map<double, std::string> scalePoints;
    double number(const char* key) { return std::atof(fields[key].c_str()); }
};

std::vector<Port> readPorts() {
    const std::string command = "LV2_PATH='" + std::string(VARNOLET_LV2_BUNDLE) +
                                "/..' lv2info urn:tolmark:varnolet 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::vector<Port> ports;
    std::string key;
    char buffer[1024];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) {
        std::string line = buffer;
        line.erase(line.find_last_not_of(" \r\n") + 1);
        if (line.rfind("\tPort ", 0) == 0) ports.emplace_back();
        if (ports.empty() || line.rfind("\t\t", 0) != 0) continue;
        if (line.rfind("\t\t\t", 0) == 0 && line.find(" = \"") != std::string::npos) {
            const size_t label = line.find(" = \"") + 4;
            ports.back().scalePoints[std::atof(line.c_str())] = line.substr(label, line.size() - label - 1);
            continue;
        }
        const size_t colon = line.find(':');
        if (line[2] != ' ' && colon < 16) key = line.substr(2, colon - 2);
        const size_t value = line.find_first_not_of(" \t", line[2] != ' ' ? colon + 1 : 0);
        if (value == std::string::npos) continue;
        std::string& field = ports.back().fields[key];
        field += (field.empty() ? "" : " ") + line.substr(value);
    }
    return ports;
}

std::string symbolOf(const char* name) {
    std::string symbol;
    for (const char* c = name; *c; ++c)
        symbol += std::isalnum(static_cast<unsigned char>(*c))
                      ? static_cast<char>(std::tolower(static_cast<unsigned char>(*c)))
                      : '_';
    return symbol;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Lv2Ports, AudioThenEveryParameterAsAControlInputWithItsNameSymbolRangeAndDefault) {
    std::vector<Port> ports = readPorts();
    ASSERT_EQ(ports.size(), static_cast<size_t>(kAudioPorts + table::kCount + 1));
    const char* audio[kAudioPorts] = {"in_left", "in_right", "out_left", "out_right"};
    for (int i = 0; i < kAudioPorts; ++i) {
        EXPECT_EQ(ports[i].fields["Symbol"], audio[i]);
        EXPECT_TRUE(contains(ports[i].fields["Type"], "#AudioPort")) << i;
        EXPECT_TRUE(contains(ports[i].fields["Type"], i < 2 ? "#InputPort" : "#OutputPort")) << i;
    }
    const std::map<double, std::string> filterTypes = {
        {0.0, "Thru"}, {1.0, "Low"}, {2.0, "Band"}, {3.0, "High"}, {4.0, "Thru"}};
    for (int i = 0; i < table::kCount; ++i) {
        const table::Row& row = table::kRows[i];
        Port& port = ports[kAudioPorts + i];
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(contains(port.fields["Type"], "#ControlPort"));
        EXPECT_TRUE(contains(port.fields["Type"], "#InputPort"));
        EXPECT_EQ(port.fields["Name"], row.name);
        EXPECT_EQ(port.fields["Symbol"], symbolOf(row.name));
        // Six decimals in lv2info's report; that the floats are exact shows in
        // the bit-identical output at the defaults.
        EXPECT_NEAR(port.number("Minimum"), row.min, 1e-6);
        EXPECT_NEAR(port.number("Maximum"), row.max, 1e-6);
        EXPECT_NEAR(port.number("Default"), row.def, 1e-6);
        EXPECT_EQ(contains(port.fields["Properties"], "port-props#logarithmic"), i == table::kCutoff);
        const bool named = std::strcmp(row.name, "Filter Type") == 0;
        EXPECT_EQ(port.scalePoints, (named ? filterTypes : std::map<double, std::string>{}));
    }
    EXPECT_EQ(ports[kAudioPorts + 16].fields["Symbol"], "wet_dry_mix");

    // Last, after every port of older builds, the switch hosts take for
    // their bypass: enabled (1) by default.
    Port& enabled = ports.back();
    EXPECT_EQ(enabled.fields["Symbol"], "enabled");
    EXPECT_EQ(enabled.fields["Designation"], "http://lv2plug.in/ns/lv2core#enabled");
    EXPECT_TRUE(contains(enabled.fields["Type"], "#ControlPort"));
    EXPECT_TRUE(contains(enabled.fields["Type"], "#InputPort"));
    EXPECT_TRUE(contains(enabled.fields["Properties"], "lv2core#toggled"));
    EXPECT_EQ(enabled.number("Default"), 1.0);
    EXPECT_EQ(enabled.number("Minimum"), 0.0);
    EXPECT_EQ(enabled.number("Maximum"), 1.0);
}

// lv2info does not print units: the description must carry LV2's own unit
// wherever the parameter has one (one of its own for a pan position), and a
// comment on every control.
TEST(Lv2Description, EveryParameterWithAUnitHasItsUnitAndEveryOneAComment) {
    std::ifstream file(std::string(VARNOLET_LV2_BUNDLE) + "/varnolet.ttl");
    std::stringstream text;
    text << file.rdbuf();
    const std::map<std::string, std::string> unitOfLabel = {{"ms", "units:unit units:ms"},
                                                            {"%", "units:unit units:pc"},
                                                            {"Hz", "units:unit units:hz"},
                                                            {"L/R", "units:symbol \"L/R\""}};
    for (const table::Row& row : table::kRows) {
        const size_t start = text.str().find("lv2:symbol \"" + symbolOf(row.name) + "\"");
        ASSERT_NE(start, std::string::npos) << row.name;
        const std::string port = text.str().substr(start, text.str().find(']', start) - start);
        const std::string unit = unitOfLabel.count(row.label) ? unitOfLabel.at(row.label)
                                 : contains(row.name, "level") ? "units:unit units:coef"
                                                               : "";
        if (unit.empty()) EXPECT_FALSE(contains(port, "units:")) << row.name;
        else EXPECT_TRUE(contains(port, unit)) << row.name;
        EXPECT_TRUE(contains(port, "rdfs:comment \"")) << row.name;
    }
    // What a user could not guess: a tap time of 0 ms is the longest delay,
    // and Filter Q 1 rings without bound.
    EXPECT_TRUE(contains(text.str(), "0 ms reads the whole line: the longest delay, two seconds"));
    EXPECT_TRUE(contains(text.str(), "At 1 the filter is undamped"));
}

// A release, in LV2's terms: a minor version other than 0, and neither it nor
// the micro version odd, or hosts take it for a development snapshot.
TEST(Lv2Description, CarriesAReleaseVersion) {
    std::ifstream file(std::string(VARNOLET_LV2_BUNDLE) + "/varnolet.ttl");
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    const size_t minorAt = all.find("lv2:minorVersion ");
    const size_t microAt = all.find("lv2:microVersion ");
    ASSERT_NE(minorAt, std::string::npos);
    ASSERT_NE(microAt, std::string::npos);
    const long minor = std::atol(all.c_str() + minorAt + 17);
    const long micro = std::atol(all.c_str() + microAt + 17);
    EXPECT_GT(minor, 0);
    EXPECT_EQ(minor % 2, 0);
    EXPECT_EQ(micro % 2, 0);
}

}  // namespace
