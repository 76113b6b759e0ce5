// The magnitude response of a stretch of an impulse response.
#pragma once

#include <cstddef>
#include <vector>

// |DFT| of the samples, zero-padded to size (a power of two), in dB
// relative to reference, bins 0 to size/2. Silent bins give floorDecibels.
std::vector<double> magnitudeResponseDecibels(const float* samples, size_t count, size_t size,
                                              double reference, double floorDecibels = -120.0);
