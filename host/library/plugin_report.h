// What a plug-in tells about itself when a host asks everything, in a form
// that any format fills and one report prints: facts in the format's own
// terms, each both a line of text and members of a JSON object, then the
// parameters and the programs that every format has in some form.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A value in a report: text, a whole number, a number, or a group of them.
struct ReportValue {
    enum class Kind { Text, Integer, Number, Object, List };
    using Members = std::vector<std::pair<std::string, ReportValue>>;

    Kind kind = Kind::Text;
    std::string text;
    int64_t integer = 0;
    double number = 0.0;
    Members members;                // an Object's, in order
    std::vector<ReportValue> items;  // a List's

    static ReportValue of(std::string value);
    static ReportValue of(int64_t value);
    static ReportValue ofNumber(double value);
    static ReportValue object(Members members);
    static ReportValue list(std::vector<ReportValue> items);
};

// One line of the text report ("Vendor:" and its text; no line when the
// label is empty) and the JSON members that say the same.
struct PluginFact {
    std::string label;
    std::string text;
    ReportValue::Members json;
};

struct ParameterReport {
    int32_t index = 0;
    std::string name;
    std::string label;    // the unit, where the format has one
    std::string display;  // the current value as the plug-in shows it
    float value = 0.0f;   // normalised
    ReportValue::Members more;  // what else the format says of it
};

struct PluginReport {
    std::vector<PluginFact> facts;
    std::vector<ParameterReport> parameters;
    bool hasPrograms = false;  // a format without programs lists none
    int32_t currentProgram = 0;
    std::vector<std::string> programNames;
};
