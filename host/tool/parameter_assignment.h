// "--set NAME=VALUE" on the command line: a parameter named by its name or
// index, and a value either normalised (0..1, as the host sends it) or, after
// an '@', as the plug-in's display shows it.
#pragma once

#include <string>

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

// Finds the parameter and sets it. A normalised value must lie in 0..1.
// A displayed value is read by the plug-in itself where its format lets
// the host ask; otherwise a displayed number is found by bisection on the
// normalised value, a displayed word by searching the range for that text.
bool applyParameterAssignment(HostedPlugin& plugin, const ParameterAssignment& assignment,
                              std::string& error);
