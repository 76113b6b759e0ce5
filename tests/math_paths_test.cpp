// The quick path may answer only what the exact path would: every public
// result must carry the exact path's bits, over the arguments the filter's
// preparation and the cutoff's mapping make and over the functions' whole
// ranges, and the quick path must answer nearly all of them, or it is not
// worth having.
//
// Set VARNOLET_EXHAUSTIVE_MATH=1 to walk every float of each parameter's
// range instead of a spread sample (about twenty minutes); the sine of a swept
// cutoff, whose arguments come from two parameters, stays a sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "core/floating_point_mode.h"
#include "core/varnolet_parameters.h"
#include "core/parameter_mapping.h"
#include "numeric/math_paths.h"
#include "numeric/portable_math.h"

namespace {

namespace exact = portable_math::exact;
namespace quick = portable_math::quick;

#if defined(VARNOLET_SANITIZED_BUILD)
constexpr long kSampleDivisor = 20;  // the same spread, fewer points
#else
constexpr long kSampleDivisor = 1;
#endif

bool exhaustive() {
    const char* v = std::getenv("VARNOLET_EXHAUSTIVE_MATH");
    return v != nullptr && v[0] == '1';
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b); }

uint32_t bitsOf(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

float floatOf(uint32_t b) {
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}

// About `count` floats from low to high (both at least 0), evenly spread
// over the bit patterns and so over every binade, and both ends; every one of
// them when exhaustive and `everyOne`.
template <typename Visit>
void forFloats(float low, float high, long count, Visit visit, bool everyOne = true) {
    const uint32_t first = bitsOf(low), last = bitsOf(high);
    const long wanted = std::max(1L, count / kSampleDivisor);
    const uint32_t stride = exhaustive() && everyOne
                                ? 1u
                                : std::max<uint32_t>(1u, static_cast<uint32_t>((last - first) / wanted));
    for (uint32_t b = first; b < last; b += stride) visit(floatOf(b));
    visit(high);
}

// How one function fares on one range of arguments.
struct Tally {
    const char* name;
    long compared = 0;
    long declined = 0;
    long differing = 0;

    void count(bool answered, double x, double got, double want) {
        ++compared;
        if (!answered) ++declined;
        if (!sameBits(got, want) && differing++ < 10)
            ADD_FAILURE() << name << "(" << std::hexfloat << x << ") gives " << got << " where "
                          << want << " is due";
    }

    // A quick path that always declined would pass the comparison above.
    void report(double mostDeclined = 0.005) const {
        std::printf("  %-42s %9ld compared, %6ld declined (%.4f %%)\n", name, compared, declined,
                    100.0 * declined / std::max(1L, compared));
        EXPECT_GT(compared, 0) << name;
        EXPECT_LE(declined, mostDeclined * compared) << name;
        EXPECT_EQ(differing, 0) << name;
    }
};

// One function's quick path, public function and exact path.
struct Paths {
    bool (*quick)(double, double&);
    double (*function)(double);
    double (*exact)(double);
};
const Paths kSin = {quick::sin, portable_math::sin, exact::sin};
const Paths kExp2 = {quick::exp2, portable_math::exp2, exact::exp2};
const Paths kLog = {quick::log, portable_math::log, exact::log};
const Paths kLog2 = {quick::log2, portable_math::log2, exact::log2};
const Paths kLog10 = {quick::log10, portable_math::log10, exact::log10};

void compare(Tally& t, const Paths& paths, double x) {
    double r;
    const bool answered = paths.quick(x, r);
    t.count(answered, x, paths.function(x), paths.exact(x));
}

void comparePow(Tally& t, double x, double y) {
    double r;
    const bool answered = quick::pow(x, y, r);
    t.count(answered, x, portable_math::pow(x, y), exact::pow(x, y));
}

constexpr double kPi = 3.14159265358979323846;
const float kRates[] = {8000.0f,   11025.0f,  16000.0f,  22050.0f,  32000.0f,
                        44100.0f,  48000.0f,  88200.0f,  96000.0f,  176400.0f,
                        192000.0f, 352800.0f, 384000.0f, 705600.0f, 768000.0f};

// The sine's argument as the preparation forms it from the cutoff, the sweep
// and the rate.
double sineArgument(float cutoff, float sweep, float rate) {
    const double rateD = rate;
    double fc = (62.5 * portable_math::exp2(7.0 * sweep) - 62.5) + static_cast<double>(cutoff);
    fc = std::min(fc, 0.5 * rateD);
    return kPi * fc / rateD;
}

// The preparation runs on the audio thread, with denormals flushed to zero.
TEST(MathPaths, ThePreparationsFunctionsGiveTheExactBitsAtEverySampleRate) {
    const varnolet::ScopedFloatingPointMode processingMode;
    Tally sine{"sin(pi fc/rate), cutoff alone, 8-768 kHz"};
    Tally sweptSine{"sin(pi fc/rate), swept, 8-768 kHz"};
    for (float rate : kRates) {
        forFloats(50.0f, 8000.0f, 100000, [&](float cutoff) {
            compare(sine, kSin, sineArgument(cutoff, 0.0f, rate));
        });
        for (float cutoff : {50.0f, 1000.0f, 8000.0f})
            forFloats(
                0.0f, 1.0f, 15000,
                [&](float sweep) { compare(sweptSine, kSin, sineArgument(cutoff, sweep, rate)); },
                false);
    }
    Tally sweep{"exp2(7 sweep), every binade"};
    forFloats(0.0f, 1.0f, 1000000, [&](float s) { compare(sweep, kExp2, 7.0 * s); });
    Tally sweepTop{"exp2(7 sweep), sweep in [1/2, 1]"};
    forFloats(0.5f, 1.0f, 500000, [&](float s) { compare(sweepTop, kExp2, 7.0 * s); });
    Tally damping{"pow(q, 0.25), q in [0.01, 1]"};
    forFloats(0.01f, 1.0f, 1000000, [&](float q) { comparePow(damping, q, 0.25); });
    std::printf("With denormals flushed to zero:\n");
    for (const Tally* t : {&sine, &sweptSine, &sweep, &sweepTop, &damping}) t->report();
}

// setParameter maps the normalised cutoff with exp2 and log2, getParameter
// with log; the whole mapping must keep its bits.
TEST(MathPaths, TheCutoffsMappingKeepsItsBitsForEveryNormalisedValue) {
    const ParameterDescription& cutoff = varnolet::kParameters[varnolet::kFilterCutoff];
    const double min = cutoff.minValue, max = cutoff.maxValue;
    const double span = exact::log2(max / min);
    EXPECT_TRUE(sameBits(portable_math::log2(max / min), span));
    EXPECT_TRUE(sameBits(portable_math::log(max / min), exact::log(max / min)));

    Tally fromLinear{"exp2(x log2(max/min)), every binade"};
    Tally fromLinearTop{"exp2(x log2(max/min)), x in [1/2, 1]"};
    auto checkFromLinear = [&](Tally& t, float x) {
        double r;
        const bool answered = quick::exp2(x * span, r);
        t.count(answered, x, parameter_mapping::fromLinear(cutoff, x),
                min * exact::exp2(x * span));
    };
    forFloats(0.0f, 1.0f, 1000000, [&](float x) { checkFromLinear(fromLinear, x); });
    forFloats(0.5f, 1.0f, 500000, [&](float x) { checkFromLinear(fromLinearTop, x); });

    Tally toLinear{"log(v/min), v in [50, 8000] Hz"};
    const double logSpan = exact::log(max / min);
    forFloats(cutoff.minValue, cutoff.maxValue, 1000000, [&](float v) {
        double r;
        const bool answered = quick::log(v / min, r);
        toLinear.count(answered, v, parameter_mapping::toLinear(cutoff, v),
                       exact::log(v / min) / logSpan);
    });
    for (const Tally* t : {&fromLinear, &fromLinearTop, &toLinear}) t->report();
}

// Random doubles over each function's whole range, where the quick path
// applies and where it hands over.
TEST(MathPaths, EveryFunctionGivesTheExactBitsOverItsWholeRange) {
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto anyBits = [&] {
        const uint64_t b = random();
        double x;
        std::memcpy(&x, &b, sizeof x);
        return x;
    };
    // |x| spread evenly over the binades from 2^low to 2^high.
    auto logUniform = [&](double low, double high) {
        return std::exp2(low + (high - low) * unit(random));
    };
    const long n = 200000 / kSampleDivisor;
    Tally sine{"sin, |x| in [2^-40, 1.6]"}, sineFar{"sin, |x| from 1.6 to 2^30, any bits"};
    Tally power2{"exp2, x in [-1000, 1000]"}, power2Small{"exp2, |x| in [2^-60, 1]"};
    Tally power2Far{"exp2, |x| in [1000, 1100]"};
    Tally logAny{"log, any positive bits"}, log2Any{"log2, any positive bits"};
    Tally log10Any{"log10, any positive bits"};
    Tally logNearOne{"log, x within 2^-7 of 1"}, log2NearOne{"log2, x within 2^-7 of 1"};
    Tally powNear{"pow, x in [1/16, 16], |y| < 1"};
    Tally powAny{"pow, x any positive bits, |y| < 4"}, powSpecial{"pow, any bits"};
    for (long i = 0; i < n; ++i) {
        const double sign = (random() & 1) ? -1.0 : 1.0;
        compare(sine, kSin, sign * std::min(1.6, logUniform(-40.0, 0.68)));
        compare(sineFar, kSin, (i % 2) ? sign * logUniform(0.68, 30.0) : anyBits());
        compare(power2, kExp2, -1000.0 + 2000.0 * unit(random));
        compare(power2Far, kExp2, sign * (1000.0 + 100.0 * unit(random)));
        compare(power2Small, kExp2, sign * logUniform(-60.0, 0.0));
        const double positive = std::fabs(anyBits());
        compare(logAny, kLog, positive);
        compare(log2Any, kLog2, positive);
        compare(log10Any, kLog10, positive);
        const double nearOne = 1.0 + sign * logUniform(-60.0, -7.0);
        compare(logNearOne, kLog, nearOne);
        compare(log2NearOne, kLog2, nearOne);
        // The exponent is drawn before the base: the order GCC for x86-64
        // happened to work out the arguments in when both were drawn inside
        // the call, which left it to the compiler.
        const double nearExponent = 2.0 * unit(random) - 1.0;
        comparePow(powNear, logUniform(-4.0, 4.0), nearExponent);
        comparePow(powAny, positive, 8.0 * unit(random) - 4.0);
        const double anyExponent = (i % 2) ? anyBits() : std::trunc(100.0 * unit(random));
        comparePow(powSpecial, anyBits(), anyExponent);
    }
    // Beyond the tables, or where a large |y log2 x| widens the bound (by
    // 2^-65 for every unit of it), handing over is expected.
    sine.report();
    sineFar.report(1.0);
    power2.report();
    power2Small.report();
    power2Far.report(1.0);
    logAny.report();
    log2Any.report();
    log10Any.report();
    // x = 1 ± d with a short d often puts ln x within 2^-80 of a halfway
    // point: d - d^2/2 has few bits.
    logNearOne.report(0.02);
    log2NearOne.report();
    powNear.report(0.01);
    powAny.report(1.0);
    powSpecial.report(1.0);
}

double powQuarter(double x) { return portable_math::pow(x, 0.25); }
double exactPowQuarter(double x) { return exact::pow(x, 0.25); }

// The arguments of the preparation's and the mapping's ranges whose results
// lie closest to a halfway point between two doubles (within 2^-23 to 2^-25 of
// a unit), found by a search over those ranges, where a bound too tight would
// answer wrongly; the quick path declines them all. The correctly rounded
// values come from a 113-bit evaluation.
TEST(MathPaths, TheHardestArgumentsOfEachRangeGiveTheCorrectlyRoundedBits) {
    struct Hard {
        const char* name;
        double (*function)(double);
        double (*exactFunction)(double);
        double x;
        double want;
    };
    const Hard cases[] = {
        {"sin", portable_math::sin, exact::sin, 0x1.def25f0d7ddf1p-4, 0x1.dddb28da4bf76p-4},
        {"sin", portable_math::sin, exact::sin, 0x1.4a98aefc40372p-8, 0x1.4a985318b6139p-8},
        {"sin", portable_math::sin, exact::sin, 0x1.1257be5eaaeb6p-3, 0x1.1185e3747d11p-3},
        {"exp2", portable_math::exp2, exact::exp2, 0x1.eb688p-6, 0x1.0560bbf3f5afdp+0},
        {"exp2", portable_math::exp2, exact::exp2, 0x1.a8f9bbcp-21, 0x1.0000093490b8dp+0},
        {"exp2", portable_math::exp2, exact::exp2, 0x1.360eb2p-7, 0x1.01af3e54d91b5p+0},
        {"exp2", portable_math::exp2, exact::exp2, 0x1.094fc55b8f58ap-13, 0x1.0005bf43b20fdp+0},
        {"exp2", portable_math::exp2, exact::exp2, 0x1.8b4c4bf448cebp-9, 0x1.008924a5c619ap+0},
        {"exp2", portable_math::exp2, exact::exp2, 0x1.59e4f2213ce16p+1, 0x1.a0895d02da21p+2},
        {"log", portable_math::log, exact::log, 0x1.2becb33333333p+0, 0x1.444ef15dbeedbp-3},
        {"log", portable_math::log, exact::log, 0x1.66eccf5c28f5cp+0, 0x1.5a0becf0e6163p-2},
        {"log", portable_math::log, exact::log, 0x1.385a7ae147ae1p+4, 0x1.7c5ba3e40f147p+1},
        {"pow x^0.25", powQuarter, exactPowQuarter, 0x1.452da4p-5, 0x1.c911f4fc8e721p-2},
        {"pow x^0.25", powQuarter, exactPowQuarter, 0x1.a49f3p-5, 0x1.e771dcf370961p-2},
        {"pow x^0.25", powQuarter, exactPowQuarter, 0x1.ae1d5p-7, 0x1.5a9a9bc3c4081p-2},
    };
    for (const Hard& c : cases) {
        EXPECT_TRUE(sameBits(c.function(c.x), c.want)) << c.name << "(" << std::hexfloat << c.x << ")";
        EXPECT_TRUE(sameBits(c.exactFunction(c.x), c.want))
            << "exact " << c.name << "(" << std::hexfloat << c.x << ")";
    }
}

TEST(MathPaths, PowerOfMinusOneIsPlusOrMinusOneForEveryIntegralExponent) {
    for (double y : {0x1p997, 0x1p1000, 0x1.fffffffffffffp1023, 4.0, 1e300})
        EXPECT_TRUE(sameBits(portable_math::pow(-1.0, y), 1.0)) << y;
    for (double y : {-0x1p997, -0x1.fffffffffffffp1023})
        EXPECT_TRUE(sameBits(portable_math::pow(-1.0, y), 1.0)) << y;
    EXPECT_TRUE(sameBits(portable_math::pow(-1.0, 0x1.fffffffffffffp52), -1.0));  // odd
    EXPECT_TRUE(sameBits(portable_math::pow(-1.0, -3.0), -1.0));
    EXPECT_TRUE(std::isnan(portable_math::pow(-1.0, 0.5)));
}

}  // namespace
