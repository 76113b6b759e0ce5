// How the tool words counts and rates in what it says.
#pragma once

#include <cstddef>
#include <string>

// "1 channel", "2 channels".
std::string counted(size_t count, const std::string& noun);
// A sample rate as people write it: "44100 Hz", "1000000 Hz", "22050.5 Hz".
std::string hertzText(double rate);
