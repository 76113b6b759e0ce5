// Number-to-text tools behind AudioEffect's dB2string, Hz2string, ms2string,
// float2string and int2string. Each writes at most maxLen characters plus a
// terminator, and also stores a zero at text[maxLen]; the buffer must hold
// maxLen + 1 bytes. A negative maxLen counts as 0 and a null text does nothing.
// None of them allocates or keeps state, so any thread may call them.
#pragma once

#include <cstdint>

namespace valuetext {

// Fixed-point text of 8 characters in all, digits cut rather than rounded.
// "Huge!" when the integer part does not fit in the budget, and for NaN and
// infinities.
void float2string(float value, char* text, int32_t maxLen);

// Decimal digits with a leading '-' for negatives; "Huge!" from 100000000 up.
void int2string(int32_t value, char* text, int32_t maxLen);

// Linear amplitude in decibels; "-oo" for amplitudes <= 0.
void dB2string(float value, char* text, int32_t maxLen);

// Frequency of a period given in samples; a period of 0 shows 0.
void Hz2string(float samples, float sampleRate, char* text, int32_t maxLen);

// Length in milliseconds of a span given in samples; a sample rate of 0 shows 0.
void ms2string(float samples, float sampleRate, char* text, int32_t maxLen);

}  // namespace valuetext
