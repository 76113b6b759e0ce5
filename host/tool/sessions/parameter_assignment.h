// "--set NAME=VALUE" on the command line: a parameter named by its name or
// index, and a value either normalised (0..1, as the host sends it) or, after
// an '@', as the plug-in's display shows it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/library/hosted_plugin.h"

struct ParameterAssignment {
    std::string parameter;
    std::string value;
    bool asDisplayed = false;
};

// Splits the text at its last '='; false when there is none or a side is empty.
bool parseParameterAssignment(const std::string& text, ParameterAssignment& assignment,
                              std::string& error);

// The index of the parameter with that name (case-insensitive, surrounding
// blanks ignored) or that decimal index; -1 with the reason when none.
int32_t findParameter(HostedPlugin& plugin, const std::string& nameOrIndex, std::string& error);

// The values parameters had when the plug-in was opened, before any
// setting: a displayed word lands on its parameter's default where the
// default shows it ("Thru" of a filter that is through by default).
class ParameterDefaults {
public:
    // Reads the parameter's value now, if there is such a parameter.
    void remember(HostedPlugin& plugin, const std::string& nameOrIndex);
    bool find(int32_t index, float& value) const;

private:
    std::vector<std::pair<int32_t, float>> values;
};

// Finds the parameter and sets it. A normalised value must lie in 0..1.
// A displayed value is read by the plug-in itself where its format lets
// the host ask; otherwise a displayed number is found by bisection on the
// normalised value (within the runs of numbers between any words the
// display shows), a displayed word on the exact value that shows it: the
// default's, else the roundest in the first stretch that shows it.
bool applyParameterAssignment(HostedPlugin& plugin, const ParameterAssignment& assignment,
                              const ParameterDefaults& defaults, std::string& error);
