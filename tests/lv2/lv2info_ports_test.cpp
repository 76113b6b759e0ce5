// Every port of the LV2 plug-in as a host reads it: lv2info (lilv-utils)
// lists what it found in the bundle, and that must match the parameter table
// as the plug-in's users know it.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
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
const std::string kLv2 = "http://lv2plug.in/ns/lv2core#";

struct Port {
    std::map<std::string, std::string> fields;  // "Symbol", "Minimum", ...
    std::vector<std::string> types, properties;
    std::map<double, std::string> scalePoints;
};

std::string trimmed(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

// lv2info's report: "\tPort N:" opens a port, "\t\tKey: value" gives a field,
// a line of spaces continues the field before, "\t\t\tV = \"Label\"" is a
// scale point.
std::vector<Port> readPorts() {
    const std::string command = "LV2_PATH='" + std::string(VARNOLET_LV2_BUNDLE) +
                                "/..' lv2info urn:tolmark:varnolet 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::vector<Port> ports;
    if (!pipe) return ports;
    std::string key;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) {
        const std::string line = buffer;
        if (line.rfind("\tPort ", 0) == 0) {
            ports.emplace_back();
            continue;
        }
        if (ports.empty() || line.rfind("\t\t", 0) != 0) continue;
        Port& port = ports.back();
        if (line.rfind("\t\t\t", 0) == 0) {
            const size_t equals = line.find(" = \"");
            if (equals != std::string::npos)
                port.scalePoints[std::atof(line.c_str() + 3)] =
                    line.substr(equals + 4, line.rfind('"') - equals - 4);
            continue;
        }
        const size_t colon = line.find(':');
        const bool continues = line.find_first_not_of(" \t") > 2 && line[2] == ' ';
        std::string value;
        if (!continues && colon != std::string::npos && colon < 16) {
            key = trimmed(line.substr(2, colon - 2));
            value = trimmed(line.substr(colon + 1));
            port.fields[key] = value;
        } else {
            value = trimmed(line);
        }
        if (key == "Type" && !value.empty()) port.types.push_back(value);
        if (key == "Properties" && !value.empty()) port.properties.push_back(value);
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

bool has(const std::vector<std::string>& list, const std::string& item) {
    for (const auto& entry : list)
        if (entry == item) return true;
    return false;
}

// The description's lines from a port's symbol to the end of that port.
std::string describedPort(const std::string& description, const std::string& symbol) {
    const size_t start = description.find("lv2:symbol \"" + symbol + "\"");
    if (start == std::string::npos) return "";
    return description.substr(start, description.find(']', start) - start);
}

class Lv2Ports : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ports = readPorts(); }
    static std::vector<Port> ports;
};
std::vector<Port> Lv2Ports::ports;

TEST_F(Lv2Ports, TwoAudioInputsAndTwoOutputsComeFirst) {
    ASSERT_EQ(ports.size(), static_cast<size_t>(kAudioPorts + table::kCount));
    for (int i = 0; i < kAudioPorts; ++i) {
        EXPECT_TRUE(has(ports[i].types, kLv2 + "AudioPort")) << i;
        EXPECT_TRUE(has(ports[i].types, kLv2 + (i < 2 ? "InputPort" : "OutputPort"))) << i;
    }
    EXPECT_EQ(ports[0].fields["Symbol"], "in_left");
    EXPECT_EQ(ports[3].fields["Symbol"], "out_right");
}

TEST_F(Lv2Ports, EveryParameterIsAControlInputWithItsNameRangeAndDefault) {
    ASSERT_EQ(ports.size(), static_cast<size_t>(kAudioPorts + table::kCount));
    for (int i = 0; i < table::kCount; ++i) {
        const table::Row& row = table::kRows[i];
        Port& port = ports[kAudioPorts + i];
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(has(port.types, kLv2 + "ControlPort"));
        EXPECT_TRUE(has(port.types, kLv2 + "InputPort"));
        EXPECT_EQ(port.fields["Name"], row.name);
        EXPECT_EQ(port.fields["Symbol"], symbolOf(row.name));
        // lv2info prints six decimals; that the floats are exact shows in the
        // bit-identical output at the defaults.
        EXPECT_NEAR(std::atof(port.fields["Minimum"].c_str()), row.min, 1e-6);
        EXPECT_NEAR(std::atof(port.fields["Maximum"].c_str()), row.max, 1e-6);
        EXPECT_NEAR(std::atof(port.fields["Default"].c_str()), row.def, 1e-6);
        EXPECT_EQ(has(port.properties, "http://lv2plug.in/ns/ext/port-props#logarithmic"),
                  i == table::kCutoff);
    }
    EXPECT_EQ(ports[kAudioPorts + 0].fields["Symbol"], "tap_1_time");
    EXPECT_EQ(ports[kAudioPorts + 16].fields["Symbol"], "wet_dry_mix");
    EXPECT_EQ(ports[kAudioPorts + 17].fields["Symbol"], "filter_cutoff");
}

TEST_F(Lv2Ports, OnlyTheFilterTypeNamesItsValues) {
    ASSERT_EQ(ports.size(), static_cast<size_t>(kAudioPorts + table::kCount));
    const std::map<double, std::string> names = {
        {0.0, "Thru"}, {1.0, "Low"}, {2.0, "Band"}, {3.0, "High"}, {4.0, "Thru"}};
    const std::map<double, std::string> none;
    for (int i = 0; i < table::kCount; ++i) {
        const bool filterType = std::strcmp(table::kRows[i].name, "Filter Type") == 0;
        EXPECT_EQ(ports[kAudioPorts + i].scalePoints, filterType ? names : none)
            << table::kRows[i].name;
    }
}

// lv2info does not print units; the description must carry the LV2 unit of
// each parameter that has one.
TEST(Lv2Description, UnitsAreLv2sOwn) {
    std::ifstream file(std::string(VARNOLET_LV2_BUNDLE) + "/varnolet.ttl");
    std::stringstream text;
    text << file.rdbuf();
    const std::map<std::string, std::string> unitOfLabel = {
        {"ms", "units:ms"}, {"%", "units:pc"}, {"Hz", "units:hz"}};
    for (int i = 0; i < table::kCount; ++i) {
        const table::Row& row = table::kRows[i];
        const std::string port = describedPort(text.str(), symbolOf(row.name));
        ASSERT_FALSE(port.empty()) << row.name;
        std::string expected;
        if (unitOfLabel.count(row.label)) expected = "units:unit " + unitOfLabel.at(row.label);
        else if (std::strstr(row.name, "level")) expected = "units:unit units:coef";
        if (expected.empty()) EXPECT_EQ(port.find("units:unit"), std::string::npos) << row.name;
        else EXPECT_NE(port.find(expected), std::string::npos) << row.name << ": " << port;
    }
}

}  // namespace
