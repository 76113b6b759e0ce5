// What one processed output channel holds. Before the call an output the
// plug-in is to replace is filled with a signalling NaN of a payload of our
// own: whatever still holds it was never written, and whatever holds its
// quiet form was read and added to.
#pragma once

#include <cstddef>

// Fills samples with the pattern.
void fillUnwritten(float* samples, size_t frames);

struct OutputContents {
    size_t unwritten = 0;    // still the pattern
    size_t addedTo = 0;      // the pattern turned quiet by arithmetic
    size_t nonFinite = 0;    // any other NaN or infinity
    size_t firstNonFinite = 0;
    size_t firstUnwritten = 0;
    float peak = 0.0f;       // of the finite samples
};

OutputContents contentsOf(const float* samples, size_t frames);
