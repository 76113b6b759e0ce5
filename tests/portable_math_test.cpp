// The elementary functions the audio arithmetic uses must give the same bits
// on every platform; the correctly rounded value is the one they all can give.
#include "numeric/portable_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using portable_math::exp2;
using portable_math::log;
using portable_math::log10;
using portable_math::log2;
using portable_math::pow;
using portable_math::sin;

// Bit patterns, so that the sign of zero and every last bit count.
::testing::AssertionResult sameBits(double got, double want) {
    if (std::memcmp(&got, &want, sizeof got) == 0 || (got != got && want != want))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::hexfloat << got << " where " << want << " is due";
}

double powQuarter(double x) { return pow(x, 0.25); }

// Correctly rounded values (from MPFR) at inputs where 64-bit glibc, 32-bit
// glibc or MinGW-w64 rounds otherwise, mostly from the ranges the filter and
// the cutoff's mapping use.
struct Case {
    const char* name;
    double (*function)(double);
    double x;
    double want;
};
const Case kHardCases[] = {
    {"exp2", exp2, 0x1.71549p-53, 0x1.0000000000001p+0},   // the sweep at its smallest
    {"exp2", exp2, 0x1.6d5c4p-23, 0x1.000001fa7f3d1p+0},
    {"exp2", exp2, 0x1.1b058p-16, 0x1.0000c42d3b9dp+0},
    {"exp2", exp2, 0x1.4ee4fp-1, 0x1.92d8fd4e07e6dp+0},
    {"exp2", exp2, 0x1.943f2p-1, 0x1.ba80d244da1a5p+0},
    {"exp2", exp2, -0x1.8f4b9fc163884p+3, 0x1.6f9b44f81bcc1p-13},
    {"exp2", exp2, 0x1.b7f7ef3514996p+5, 0x1.fe9aafc63b0b2p+54},
    {"exp2", exp2, -0x1.00126611698a1p+10, 0x0.346feff34f3d3p-1022},  // rounds below normal
    {"pow x^0.25", powQuarter, 0x1.8p-140, 0x1.1b4f819c2ff81p-35},
    {"pow x^0.25", powQuarter, 0x1.76p-133, 0x1.d9563fbb05765p-34},
    {"pow x^0.25", powQuarter, 0x1.761ap-128, 0x1.197787cd4be05p-32},
    {"log", log, 0x1.562f0dcbb0bfep+5, 0x1.e0c18b3b752c2p+1},
    {"log", log, 0x1.0c16ed47d444bp+4, 0x1.68cc38f25ccacp+1},
    {"log2", log2, 0x1.1cc4483439ccep+7, 0x1.c9d52f57e5913p+2},
    {"log2", log2, 0x1.30145a214de91p+7, 0x1.cfe4399a46f7dp+2},
    {"log10", log10, 0x1.0c72fap-20, -0x1.7fffa33b4d77fp+2},
    {"log10", log10, 0x1.17cdfap-20, -0x1.7ed8d7c2750a1p+2},
    {"log10", log10, 0x1.47977ap-20, -0x1.7a76e5fcd8cap+2},
    {"sin", sin, 0x1.a2aad789ce892p-1, 0x1.758bb18c1b49bp-1},
    {"sin", sin, 0x1.09353cde1412ap-1, 0x1.fb0352b11166bp-2},
    {"sin", sin, 0x1.605f209159221p+0, 0x1.f65c7e2d6582fp-1},
    {"sin", sin, 0x1.49e3becca1a92p-2, 0x1.44367e5d7bf2ap-2},
    {"sin", sin, 0x1.73f74f39d30cp+0, 0x1.fc738ed9230cdp-1},
    {"sin", sin, 0x1.e7c903042bep+5, -0x1.eaed21eb49925p-1},  // other quadrants
    {"sin", sin, 0x1.969a6dfbc18f8p+9, 0x1.cc1d4f78255f5p-2},
    {"sin", sin, -0x1.e91c14a506598p+9, 0x1.da2fe7b5027d1p-1},
};

TEST(PortableMath, CorrectlyRoundedWhereTheCLibrariesDisagree) {
    for (const Case& c : kHardCases)
        EXPECT_TRUE(sameBits(c.function(c.x), c.want))
            << c.name << "(" << std::hexfloat << c.x << ")";
    EXPECT_TRUE(sameBits(pow(0x1.b42416ce9ec34p+4, 0x1.764c952fe0002p+2), 0x1.da1d60394b047p+27));
    EXPECT_TRUE(sameBits(pow(0x1.bb452ee332b31p+4, -0x1.e2c4f925e915ap+1), 0x1.e67420db049a5p-19));
    EXPECT_TRUE(sameBits(pow(0x1.54de24e5928f8p+6, 0x1.bfd154ca8ab4p-3), 0x1.52548339ceb8bp+1));
}

TEST(PortableMath, ExactResultsComeOutExact) {
    for (int k = -1074; k <= 1023; ++k) {
        const double power = std::ldexp(1.0, k);
        ASSERT_TRUE(sameBits(exp2(k), power)) << k;
        ASSERT_TRUE(sameBits(log2(power), k)) << k;
    }
    double tenToTheK = 1.0;  // exact up to 10^22
    for (int k = 0; k <= 22; ++k, tenToTheK *= 10.0)
        ASSERT_TRUE(sameBits(log10(tenToTheK), k)) << k;
    EXPECT_TRUE(sameBits(log(1.0), 0.0));
    EXPECT_TRUE(sameBits(pow(0.0625, 0.25), 0.5));
    EXPECT_TRUE(sameBits(pow(81.0, 0.25), 3.0));
    EXPECT_TRUE(sameBits(pow(-2.0, 3.0), -8.0));
    EXPECT_TRUE(sameBits(pow(10.0, -1.0), 0.1));
    // At the bottom of the range: half the smallest subnormal is a tie.
    EXPECT_TRUE(sameBits(exp2(-1075.0), 0.0));
    EXPECT_TRUE(sameBits(exp2(-1074.5), 0x1p-1074));
    EXPECT_TRUE(sameBits(exp2(1024.0), std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(std::isfinite(exp2(1023.99)));
}

TEST(PortableMath, SpecialValuesFollowC) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double (*f)(double) : {sin, exp2, log, log2, log10}) EXPECT_TRUE(std::isnan(f(nan)));
    EXPECT_TRUE(sameBits(sin(-0.0), -0.0));
    EXPECT_TRUE(sameBits(sin(0.0), 0.0));
    EXPECT_TRUE(std::isnan(sin(inf)));
    EXPECT_TRUE(std::isnan(sin(-inf)));
    // Far out the result is no longer the sine, but still a number.
    for (double far : {0x1p20, -0x1p40, 1e300, -std::numeric_limits<double>::max()})
        EXPECT_LE(std::fabs(sin(far)), 1.0) << far;
    EXPECT_TRUE(sameBits(exp2(-inf), 0.0));
    for (double (*f)(double) : {log, log2, log10}) {
        EXPECT_TRUE(sameBits(f(0.0), -inf));
        EXPECT_TRUE(sameBits(f(-0.0), -inf));
        EXPECT_TRUE(std::isnan(f(-1.0)));
        EXPECT_TRUE(sameBits(f(inf), inf));
    }
    const struct {
        double x, y, want;
    } powCases[] = {
        {nan, 0.0, 1.0},     {1.0, nan, 1.0},       {-0.0, -3.0, -inf},  {0.0, -2.0, inf},
        {-0.0, 3.0, -0.0},   {-0.0, 2.0, 0.0},      {-1.0, inf, 1.0},    {0.5, -inf, inf},
        {2.0, -inf, 0.0},    {0.5, inf, 0.0},       {-inf, -3.0, -0.0},  {-inf, -2.0, 0.0},
        {-inf, 3.0, -inf},   {-inf, 2.0, inf},      {inf, -1.0, 0.0},    {-2.0, 0.5, nan},
        {2.0, 1e300, inf},   {0.5, 1e300, 0.0},     {-2.0, 1e300, inf},  {-2.0, -3.0, -0.125},
    };
    for (const auto& c : powCases)
        EXPECT_TRUE(sameBits(pow(c.x, c.y), c.want)) << "pow(" << c.x << ", " << c.y << ")";
}

}  // namespace
