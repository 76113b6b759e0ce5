// Numbers from the command line, whole words only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool parseDecimal(const std::string& text, double& number);
bool parseWholeNumber(const std::string& text, int64_t& number);
// The parts of a list between its separators ("a,b," gives a, b and "").
std::vector<std::string> splitList(const std::string& text, char separator = ',');
// "64,512,4096"
bool parseWholeNumberList(const std::string& text, std::vector<int64_t>& numbers);
