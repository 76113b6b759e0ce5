#include "numeric/portable_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "32-bit x86 must do double arithmetic in SSE2 (-msse2 -mfpmath=sse): x87 rounds twice"
#endif

namespace portable_math {

namespace {

// An unevaluated sum hi + lo with |lo| at most half a unit of hi: about 106
// significant bits.
struct DD {
    double hi;
    double lo;
};

DD quickTwoSum(double a, double b) {  // needs |a| >= |b|
    const double s = a + b;
    return {s, b - (s - a)};
}

DD twoSum(double a, double b) {
    const double s = a + b;
    const double v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}

// Dekker's exact product: the operands are split into halves of 26 bits,
// whose products a double holds exactly. No fused multiply-add is needed.
void split(double a, double& hi, double& lo) {
    const double t = 134217729.0 * a;  // 2^27 + 1
    hi = t - (t - a);
    lo = a - hi;
}

DD twoProduct(double a, double b) {
    const double p = a * b;
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD add(DD a, DD b) {
    DD s = twoSum(a.hi, b.hi);
    const DD t = twoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = quickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return quickTwoSum(s.hi, s.lo);
}

DD add(DD a, double b) {
    DD s = twoSum(a.hi, b);
    s.lo += a.lo;
    return quickTwoSum(s.hi, s.lo);
}

DD negate(DD a) { return {-a.hi, -a.lo}; }

DD mul(DD a, DD b) {
    DD p = twoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return quickTwoSum(p.hi, p.lo);
}

DD mul(DD a, double b) {
    DD p = twoProduct(a.hi, b);
    p.lo += a.lo * b;
    return quickTwoSum(p.hi, p.lo);
}

// Long division: each step's remainder is exact enough for the next digit.
DD div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = add(a, negate(mul(b, q1)));
    const double q2 = r.hi / b.hi;
    r = add(r, negate(mul(b, q2)));
    const double q3 = r.hi / b.hi;
    return add(quickTwoSum(q1, q2), q3);
}

DD div(DD a, double b) { return div(a, DD{b, 0.0}); }

// Constants to 106 bits and more.
constexpr DD kLn2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr DD kLog2E = {0x1.71547652b82fep+0, 0x1.777d0ffda0d24p-56};
constexpr DD kLog10E = {0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// pi/2 in four parts, the first three of 33 bits, so that each times an
// integer below 2^20 is exact.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2ep-69;
constexpr double kHalfPi4 = 0x1.b839a252049c1p-104;
constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

uint64_t bitsOf(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

double fromBits(uint64_t b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

bool isFinite(double x) { return std::fabs(x) <= std::numeric_limits<double>::max(); }

// The integer nearest to v, |v| < 2^62; halves may go either way.
double nearestInteger(double v) {
    return static_cast<double>(static_cast<int64_t>(v < 0.0 ? v - 0.5 : v + 0.5));
}

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

// e^t for |t| up to about 0.35, by its Taylor series: 27 terms leave less
// than 2^-115.
DD expReduced(DD t) {
    DD sum = {1.0, 0.0};
    for (int k = 27; k >= 1; --k) sum = add(div(mul(sum, t), static_cast<double>(k)), 1.0);
    return sum;
}

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
    const DD z = mul(s, s);
    // atanh(s)/s = sum of z^k/(2k + 1); 23 terms leave less than 2^-110.
    DD sum = div(DD{1.0, 0.0}, 45.0);
    for (int k = 21; k >= 0; --k) sum = add(mul(sum, z), div(DD{1.0, 0.0}, 2.0 * k + 1.0));
    const DD half = mul(s, sum);
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
    const double k = std::fabs(x) < 0x1p61 ? nearestInteger(x * kTwoOverPi) : x * kTwoOverPi;
    const int quadrant = std::fabs(k) < 0x1p61 ? static_cast<int>(static_cast<int64_t>(k) & 3) : 0;
    // r = x - k·pi/2: the first difference is exact (the two are within a
    // factor of two), the products are exact for |k| < 2^20.
    DD r = twoSum(x - k * kHalfPi1, -(k * kHalfPi2));
    r = add(r, -(k * kHalfPi3));
    r = add(r, negate(twoProduct(k, kHalfPi4)));

    // |r| <= pi/4, so z <= 0.62 and 15 terms leave less than 2^-120.
    const DD z = mul(r, r);
    DD series = {1.0, 0.0};
    const bool cosine = (quadrant & 1) != 0;
    for (int k2 = 15; k2 >= 1; --k2) {
        const double twoK = 2.0 * k2;
        const double divisor = cosine ? (twoK - 1.0) * twoK : twoK * (twoK + 1.0);
        series = add(negate(div(mul(series, z), divisor)), 1.0);
    }
    const DD value = cosine ? series : mul(r, series);
    return quadrant >= 2 ? -value.hi : value.hi;
}

}  // namespace portable_math
