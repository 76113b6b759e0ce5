#include "vst/value_text.h"

#include <cmath>

#include "numeric/portable_math.h"

namespace valuetext {
namespace {

constexpr int kBudget = 8;

// Everything reaches the caller through here, so the bound lives in one place.
void emit(const char* work, int32_t length, char* text, int32_t maxLen) {
    if (!text) return;
    if (maxLen < 0) maxLen = 0;
    const int32_t n = length < maxLen ? length : maxLen;
    for (int32_t i = 0; i < n; ++i) text[i] = work[i];
    text[n] = 0;
    text[maxLen] = 0;
}

void emitLiteral(const char* literal, char* text, int32_t maxLen) {
    int32_t length = 0;
    while (literal[length]) ++length;
    emit(literal, length, text, maxLen);
}

}  // namespace

void float2string(float value, char* text, int32_t maxLen) {
    const double v = value;
    const bool neg = v < 0;
    const double a = std::fabs(v);
    // Beyond 7 integer digits (6 with a sign) the budget would silently drop
    // the leading digits, so those values count as too large as well.
    if (!std::isfinite(v) || (neg && a >= 1000000.0) || (!neg && a >= 10000000.0)) {
        emitLiteral("Huge!", text, maxLen);
        return;
    }

    // The integer digits come out right to left, so they are laid down from
    // the end of a scratch area and moved to the front afterwards.
    char digits[kBudget];
    int pos = kBudget;
    int count = neg + 2;
    double integ = std::floor(a);
    digits[--pos] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
    integ *= 0.1;
    while (integ >= 1.0 && count < kBudget) {
        digits[--pos] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
        integ *= 0.1;
        ++count;
    }

    char work[2 * kBudget];
    int32_t length = 0;
    if (neg) work[length++] = '-';
    while (pos < kBudget) work[length++] = digits[pos++];
    work[length++] = '.';

    const int n = kBudget - count;
    if (n > 0) {
        // One multiplication by the exact power of ten, so the fraction is
        // rounded once, not once per digit.
        double scale = 1.0;
        for (int i = 0; i < n; ++i) scale *= 10.0;
        double m = std::fmod(a, 1.0) * scale;
        for (int i = n - 1; i >= 0; --i) {
            if (m <= 0) {
                work[length + i] = '0';
            } else {
                work[length + i] = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
                m *= 0.1;
            }
        }
        length += n;
    }
    emit(work, length, text, maxLen);
}

void int2string(int32_t value, char* text, int32_t maxLen) {
    if (value >= 100000000) {
        emitLiteral("Huge!", text, maxLen);
        return;
    }
    // 64 bits so that negating the most negative int32 is defined, and ten
    // powers of ten so that its ten digits each come out as a single digit.
    int64_t rest = value;
    char work[16];
    int32_t length = 0;
    if (rest < 0) {
        work[length++] = '-';
        rest = -rest;
    }
    for (int64_t div = 1000000000; div >= 1; div /= 10) {
        const int64_t digit = rest / div;
        rest -= digit * div;
        if (digit > 0 || length > (value < 0) || div == 1)
            work[length++] = static_cast<char>('0' + digit);
    }
    emit(work, length, text, maxLen);
}

void dB2string(float value, char* text, int32_t maxLen) {
    if (value <= 0) {
        emitLiteral("-oo", text, maxLen);
        return;
    }
    float2string(static_cast<float>(20.0f * portable_math::log10(static_cast<double>(value))), text, maxLen);
}

void Hz2string(float samples, float sampleRate, char* text, int32_t maxLen) {
    if (samples == 0) {
        float2string(0.0f, text, maxLen);
        return;
    }
    float2string(static_cast<float>(static_cast<double>(sampleRate) / samples), text, maxLen);
}

void ms2string(float samples, float sampleRate, char* text, int32_t maxLen) {
    // Without a rate there is no duration; 0 matches Hz2string's answer for a
    // period of 0.
    if (sampleRate == 0) {
        float2string(0.0f, text, maxLen);
        return;
    }
    float2string(static_cast<float>((samples * 1000.0) / sampleRate), text, maxLen);
}

}  // namespace valuetext
