#include "vst/value_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr char kCanary = '#';

// Runs one tool into a canary-filled buffer and checks that it touched
// nothing past index maxLen and that index maxLen holds a zero.
template <typename Tool>
std::string run(Tool tool, int32_t maxLen) {
    char buffer[64];
    std::memset(buffer, kCanary, sizeof buffer);
    tool(buffer, maxLen);
    const int32_t end = maxLen < 0 ? 0 : maxLen;
    EXPECT_EQ(buffer[end], 0) << "no terminator at index maxLen " << maxLen;
    for (int32_t i = end + 1; i < static_cast<int32_t>(sizeof buffer); ++i)
        if (buffer[i] != kCanary) {
            ADD_FAILURE() << "byte " << i << " written with maxLen " << maxLen;
            break;
        }
    return std::string(buffer);
}

std::string f2s(float v, int32_t maxLen = 8) {
    return run([v](char* t, int32_t n) { valuetext::float2string(v, t, n); }, maxLen);
}
std::string i2s(int32_t v, int32_t maxLen = 8) {
    return run([v](char* t, int32_t n) { valuetext::int2string(v, t, n); }, maxLen);
}
std::string dB(float v, int32_t maxLen = 8) {
    return run([v](char* t, int32_t n) { valuetext::dB2string(v, t, n); }, maxLen);
}

TEST(Float2String, FixedPointTextOfEightCharacters) {
    const struct { float value; const char* text; } cases[] = {
        {0.0f, "0.000000"},       {-0.0f, "0.000000"},      {0.5f, "0.500000"},
        {1.0f, "1.000000"},       {-1.0f, "-1.00000"},      {11.0f, "11.00000"},
        {200.0f, "200.0000"},     {1000.0f, "1000.000"},    {8000.0f, "8000.000"},
        {12.345f, "12.34500"},    {1234567.0f, "1234567."}, {-123456.0f, "-123456."},
        {9999999.0f, "9999999."}, {-999999.0f, "-999999."}, {0.7f, "0.699999"},
        {0.01f, "0.009999"},      {-1.0f / 3.0f, "-0.33333"},
    };
    for (const auto& c : cases) EXPECT_EQ(f2s(c.value), c.text) << c.value;
}

TEST(Float2String, TooLargeNonFiniteAndDigitsThatWouldBeLostShowHuge) {
    const float huge[] = {100000000.0f, -10000000.0f, 10000000.0f, -1000000.0f,
                          1e30f,        -1e30f,       INFINITY,    -INFINITY, NAN};
    for (float v : huge) EXPECT_EQ(f2s(v), "Huge!") << v;
    EXPECT_EQ(f2s(1e30f, 3), "Hug");
}

TEST(Float2String, ShortAndDegenerateLimitsCutTheText) {
    EXPECT_EQ(f2s(1000.0f, 5), "1000.");
    EXPECT_EQ(f2s(0.5f, 5), "0.500");
    EXPECT_EQ(f2s(-1.0f, 1), "-");
    EXPECT_EQ(f2s(0.5f, 0), "");
    EXPECT_EQ(f2s(0.5f, -4), "");
    EXPECT_EQ(f2s(0.5f, 40), "0.500000");  // zero also lands at index 40
    valuetext::float2string(0.5f, nullptr, 8);  // must simply not crash
}

TEST(Int2String, DigitsSignAndLimits) {
    EXPECT_EQ(i2s(0), "0");
    EXPECT_EQ(i2s(7), "7");
    EXPECT_EQ(i2s(-7), "-7");
    EXPECT_EQ(i2s(1000), "1000");
    EXPECT_EQ(i2s(99999999), "99999999");
    EXPECT_EQ(i2s(100000000), "Huge!");
    EXPECT_EQ(i2s(INT32_MAX), "Huge!");
    EXPECT_EQ(i2s(-123456789), "-1234567");
    EXPECT_EQ(i2s(-123456789, 10), "-123456789");
    EXPECT_EQ(i2s(-1000000000, 20), "-1000000000");
    EXPECT_EQ(i2s(INT32_MIN, 20), "-2147483648");
    EXPECT_EQ(i2s(INT32_MIN, 3), "-21");
    EXPECT_EQ(i2s(-5, -1), "");
}

TEST(DB2String, NonPositiveIsMinusInfinityOtherwiseDecibels) {
    EXPECT_EQ(dB(0.0f), "-oo");
    EXPECT_EQ(dB(-0.0f), "-oo");
    EXPECT_EQ(dB(-1.0f), "-oo");
    EXPECT_EQ(dB(0.0f, 2), "-o");
    EXPECT_EQ(dB(1.0f), "0.000000");
    EXPECT_EQ(dB(10.0f), "20.00000");
    // -19.99999987 in double; the float rounding makes it exactly -20.
    EXPECT_EQ(dB(0.1f), "-20.0000");
}

TEST(HzAndMs2String, DivideByTheRateAndNeverByZero) {
    auto hz = [](float s, float rate) {
        return run([=](char* t, int32_t n) { valuetext::Hz2string(s, rate, t, n); }, 8);
    };
    auto ms = [](float s, float rate) {
        return run([=](char* t, int32_t n) { valuetext::ms2string(s, rate, t, n); }, 8);
    };
    EXPECT_EQ(hz(100.0f, 44100.0f), "441.0000");
    EXPECT_EQ(hz(0.0f, 44100.0f), "0.000000");
    EXPECT_EQ(ms(44100.0f, 44100.0f), "1000.000");
    EXPECT_EQ(ms(22050.0f, 44100.0f), "500.0000");
    EXPECT_EQ(ms(44100.0f, 0.0f), "0.000000");
}

}  // namespace
