// The exact path: every function evaluated in double-double to about 2^-100
// and rounded once, with no shortcut.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "numeric/double_double.h"
#include "numeric/math_paths.h"

#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "32-bit x86 must do double arithmetic in SSE2 (-msse2 -mfpmath=sse): x87 rounds twice"
#endif

namespace portable_math::exact {

using namespace dd;

namespace {

constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// pi/2 in four parts, the first three of 33 bits, so that each times an
// integer below 2^20 is exact.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2ep-69;
constexpr double kHalfPi4 = 0x1.b839a252049c1p-104;
constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;

// x · 2^n in steps that stay within the exponent range, so that only the last
// one can round; |x| below 2^400.
double scaleByPowerOfTwo(double x, int n) {
    while (n > 1023) {
        x *= 0x1p1023;
        n -= 1023;
        if (!isFinite(x)) return x;
    }
    if (n < -1022) {
        // For the x here, near 1, the first product is still normal.
        if (n < -1600) return x * 0.0;
        return (x * fromBits(static_cast<uint64_t>(n + 600 + 1023) << 52)) * 0x1p-600;
    }
    return x * fromBits(static_cast<uint64_t>(n + 1023) << 52);
}

// 1/k!, for e^t (28 terms leave less than 2^-115 for |t| <= 0.35) and the
// sine and cosine.
constexpr Series<32> kInverseFactorials = [] {
    Series<32> s{};
    s.c[0] = {1.0, 0.0};
    for (size_t k = 1; k < 32; ++k) s.c[k] = div(s.c[k - 1], static_cast<double>(k));
    return s;
}();

constexpr Series<28> kExp = [] {
    Series<28> s{};
    for (size_t k = 0; k < 28; ++k) s.c[k] = kInverseFactorials.c[k];
    return s;
}();

// sin r / r and cos r in z = r^2: (-1)^k/(2k + 1)! and (-1)^k/(2k)!. For
// |r| <= pi/4, z <= 0.62 and 16 terms leave less than 2^-120.
constexpr Series<16> kSine = [] {
    Series<16> s{};
    for (size_t k = 0; k < 16; ++k)
        s.c[k] = k % 2 ? negate(kInverseFactorials.c[2 * k + 1]) : kInverseFactorials.c[2 * k + 1];
    return s;
}();

constexpr Series<16> kCosine = [] {
    Series<16> s{};
    for (size_t k = 0; k < 16; ++k)
        s.c[k] = k % 2 ? negate(kInverseFactorials.c[2 * k]) : kInverseFactorials.c[2 * k];
    return s;
}();

// atanh(s)/s in z = s^2: 1/(2k + 1). For |s| < 0.172, z < 0.0295 and 23 terms
// leave less than 2^-110.
constexpr Series<23> kAtanh = [] {
    Series<23> s{};
    for (size_t k = 0; k < 23; ++k) s.c[k] = div(DD{1.0, 0.0}, 2.0 * static_cast<double>(k) + 1.0);
    return s;
}();

// e^t for |t| up to about 0.35.
DD expReduced(DD t) { return evaluate(kExp, t, 14); }

// v · 2^n for a positive v, rounded once. Below the normal range the scaling
// itself rounds: hi alone would decide, but when hi · 2^n falls exactly
// halfway between two results, lo says which side the value lies on.
double scaleToDouble(DD v, int n) {
    const double s = scaleByPowerOfTwo(v.hi, n);
    if (s >= 0x1p-1022 || v.lo == 0.0) return s;
    const double gap = v.hi - scaleByPowerOfTwo(s, -n);  // exact
    const double halfUnit = scaleByPowerOfTwo(1.0, -1075 - n);
    if (gap == halfUnit && v.lo > 0.0) return s + 0x1p-1074;
    if (gap == -halfUnit && v.lo < 0.0) return s - 0x1p-1074;
    return s;
}

// 2^(n + r) for an integer n and |r| up to a little over 1/2.
double exp2Split(double n, DD r) {
    return scaleToDouble(expReduced(mul(r, kLn2)), static_cast<int>(n));
}

// x = 2^exponent · m with m within [sqrt(1/2), sqrt(2)), and ln m; x must be
// finite and positive.
struct LogParts {
    int exponent;
    DD logM;
};

LogParts logParts(double x) {
    int exponent = 0;
    uint64_t b = bitsOf(x);
    if ((b >> 52) == 0) {  // below the normal range
        x *= 0x1p54;
        exponent = -54;
        b = bitsOf(x);
    }
    exponent += static_cast<int>(b >> 52) - 1023;
    double m = fromBits((b & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
    if (m > kSqrt2) {
        m *= 0.5;
        ++exponent;
    }
    // ln m = 2 atanh(s) with s = (m - 1)/(m + 1), |s| < 0.172; m - 1 is exact.
    const DD s = div(DD{m - 1.0, 0.0}, twoSum(m, 1.0));
    const DD half = mul(s, evaluate(kAtanh, mul(s, s), 11));
    return {exponent, {2.0 * half.hi, 2.0 * half.lo}};
}

// NaN for negatives and NaN, -inf for zero, +inf for +inf; 0 where the
// logarithm is finite.
double logSpecialCase(double x, bool& handled) {
    handled = true;
    if (x != x || x < 0.0) return kNaN;
    if (x == 0.0) return -kInfinity;
    if (x == kInfinity) return kInfinity;
    handled = false;
    return 0.0;
}

DD naturalLog(const LogParts& p) {
    return add(mul(kLn2, static_cast<double>(p.exponent)), p.logM);
}

DD binaryLog(const LogParts& p) {
    return add(mul(p.logM, kLog2E), static_cast<double>(p.exponent));
}

}  // namespace

double exp2(double x) {
    if (x != x) return x;
    if (x >= 1024.0) return kInfinity;
    if (x < -1080.0) return 0.0;
    const double n = nearestInteger(x);
    return exp2Split(n, DD{x - n, 0.0});  // x - n is exact
}

double log(double x) {
    bool handled;
    const double special = logSpecialCase(x, handled);
    if (handled) return special;
    return naturalLog(logParts(x)).hi;
}

double log2(double x) {
    bool handled;
    const double special = logSpecialCase(x, handled);
    if (handled) return special;
    return binaryLog(logParts(x)).hi;
}

double log10(double x) {
    bool handled;
    const double special = logSpecialCase(x, handled);
    if (handled) return special;
    return mul(naturalLog(logParts(x)), kLog10E).hi;
}

double pow(double x, double y) {
    if (y == 0.0 || x == 1.0) return 1.0;
    if (x != x || y != y) return kNaN;
    const double ax = std::fabs(x);
    const double ay = std::fabs(y);
    if (ay == kInfinity) {
        if (ax == 1.0) return 1.0;
        return (ax < 1.0) == (y < 0.0) ? kInfinity : 0.0;
    }
    const bool integral = ay >= 0x1p53 || static_cast<double>(static_cast<int64_t>(ay)) == ay;
    const bool odd = integral && ay < 0x1p53 && (static_cast<int64_t>(ay) & 1) != 0;
    if (x == 0.0) {
        if (y < 0.0) return odd ? 1.0 / x : kInfinity;
        return odd ? x : 0.0;
    }
    if (ax == kInfinity) {
        if (x > 0.0) return y < 0.0 ? 0.0 : kInfinity;
        if (y < 0.0) return odd ? -0.0 : 0.0;
        return odd ? -kInfinity : kInfinity;
    }
    double sign = 1.0;
    if (x < 0.0) {
        if (!integral) return kNaN;
        if (odd) sign = -1.0;
    }
    // Here ax = 1 means x = -1, whose logarithm is 0: the product below would
    // split a y beyond 2^996 into infinities and answer NaN.
    if (ax == 1.0) return sign;
    const DD log2x = binaryLog(logParts(ax));
    // Far outside the exponent range the result is settled, and y may be too
    // large for the exact product.
    const double estimate = log2x.hi * y;
    if (estimate > 2000.0) return sign * kInfinity;
    if (estimate < -2000.0) return sign * 0.0;
    const DD t = mul(log2x, y);
    const double n = nearestInteger(t.hi);
    return sign * exp2Split(n, add(t, -n));
}

double sin(double x) {
    if (!isFinite(x)) return kNaN;
    if (x == 0.0) return x;  // keeps the sign of zero
    // Far out, the argument is first reduced by the double nearest 2 pi.
    // fmod is exact, so this is the same everywhere, but it is not 2 pi.
    if (std::fabs(x) >= 0x1p20) x = std::fmod(x, 0x1.921fb54442d18p+2);
    const double k = nearestInteger(x * kTwoOverPi);
    const int quadrant = static_cast<int>(static_cast<int64_t>(k) & 3);
    // r = x - k·pi/2: the first difference is exact (the two are within a
    // factor of two), the products are exact for |k| < 2^20.
    DD r = twoSum(x - k * kHalfPi1, -(k * kHalfPi2));
    r = add(r, -(k * kHalfPi3));
    r = add(r, negate(twoProduct(k, kHalfPi4)));

    const DD z = mul(r, r);
    const DD value = (quadrant & 1) != 0 ? evaluate(kCosine, z, 9) : mul(r, evaluate(kSine, z, 9));
    return quadrant >= 2 ? -value.hi : value.hi;
}

}  // namespace portable_math::exact
