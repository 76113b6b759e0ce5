// The quick path: short polynomials on small reduced intervals, evaluated
// mostly in plain doubles with a double-double finish, each with a proven
// bound on its error. A result is given only when every value within the bound
// rounds to the same double; the exact path decides the rest.
//
// The bounds below count every source of error: the polynomial's truncation
// on its interval, the rounding of its coefficients and of each operation,
// and the tables' own error. The bound each function uses is at least twice
// the sum, which covers the difference between a bound relative to the value
// and one relative to hi, and the rounding of the test itself (below 2^-105 of
// hi). Arguments and results below the normal range are left to the exact
// path; a tiny intermediate that the audio thread's mode (denormals flushed to
// zero) changes moves an estimate by far less than that margin, so a result
// that is given is the same in either mode.
#include <cstddef>
#include <cstdint>

#include "numeric/double_double.h"
#include "numeric/math_paths.h"

namespace portable_math::quick {

using namespace dd;

namespace {

constexpr double kExp2Error = 0x1p-65;
constexpr double kSinError = 0x1p-65;
constexpr double kLogError = 0x1p-65;

constexpr Estimate kNoEstimate = {0.0, 0.0, 0.0, 0, false};

// The evaluations are inlined into each function that uses them: a call
// would pass the estimate through memory and wait for it.
#define PORTABLE_MATH_INLINE [[gnu::always_inline]] inline

// Every value within bound of hi + lo rounds to hi: rounding is monotonic, so
// the two ends of the interval are enough.
PORTABLE_MATH_INLINE bool settles(const Estimate& e) {
    return e.valid && e.hi + (e.lo - e.bound) == e.hi && e.hi + (e.lo + e.bound) == e.hi;
}

// ---- Tables, worked out by the compiler in double-double -----------------

// e^t summed term by term; for |t| < 0.7 the terms past the 40th are below
// 2^-150, and the sum is within 2^-98 of e^t.
constexpr DD expSeries(DD t) {
    DD sum = {1.0, 0.0};
    DD term = {1.0, 0.0};
    for (int k = 1; k < 40; ++k) {
        term = div(mul(term, t), static_cast<double>(k));
        sum = add(sum, term);
    }
    return sum;
}

// 2^(j/64) for j from 0 to 63, and its product with ln 2 (the slope of 2^r
// there), whose leading part is kept split in halves of 26 bits for an exact
// product.
struct Exp2Entry {
    DD power;
    DD slope;
    double slopeHead;
    double slopeTail;
};
struct Exp2Table {
    Exp2Entry at[64];
};
constexpr Exp2Table kExp2Table = [] {
    Exp2Table table{};
    for (int j = 0; j < 64; ++j) {
        Exp2Entry& e = table.at[j];
        e.power = expSeries(mul(kLn2, j / 64.0));
        e.slope = mul(e.power, kLn2);
        split(e.slope.hi, e.slopeHead, e.slopeTail);
    }
    return table;
}();

// ln2^k / k!, the coefficients of 2^r = e^(r ln2); the first comes with the
// table's slope.
constexpr Series<8> kExp2Poly = [] {
    Series<8> p{};
    p.c[0] = {1.0, 0.0};
    for (int k = 1; k < 8; ++k) p.c[k] = div(mul(p.c[k - 1], kLn2), static_cast<double>(k));
    return p;
}();

// sin a and cos a for a = i/128 up to 1.6 and a little beyond: the series
// summed term by term to 30 terms (the rest below 2^-150 for a < 1.61), each
// within 2^-98.
constexpr int kSinTableStep = 128;
constexpr int kSinTableSize = 206;
constexpr double kSinQuickLimit = 1.6;

struct SinCos {
    DD sin;
    DD cos;
    double cosHead;  // cos.hi split in halves of 26 bits
    double cosTail;
};
struct SinCosTable {
    SinCos at[kSinTableSize];
};
constexpr SinCos sinCosSeries(double a) {
    const DD z = twoProduct(a, a);
    DD sinTerm = {a, 0.0};
    DD cosTerm = {1.0, 0.0};
    SinCos sum = {sinTerm, cosTerm, 0.0, 0.0};
    for (int k = 1; k < 30; ++k) {
        const double n = 2.0 * k;
        sinTerm = negate(div(mul(sinTerm, z), n * (n + 1.0)));
        cosTerm = negate(div(mul(cosTerm, z), (n - 1.0) * n));
        sum.sin = add(sum.sin, sinTerm);
        sum.cos = add(sum.cos, cosTerm);
    }
    split(sum.cos.hi, sum.cosHead, sum.cosTail);
    return sum;
}
constexpr SinCosTable kSinCosTable = [] {
    SinCosTable table{};
    for (int i = 0; i < kSinTableSize; ++i)
        table.at[i] = sinCosSeries(static_cast<double>(i) / kSinTableStep);
    return table;
}();

// For m near 1 + i/128: c close to 1/(1 + i/128) with 26 significant bits, so
// that m · c is the exact sum of two products of doubles, and -ln c.
struct LogEntry {
    double c;
    DD minusLogC;
};
struct LogTable {
    LogEntry at[128];
};
// -ln c = 2 atanh((1 - c)/(1 + c)); for c in [1/2, 1] the ratio is below 1/3
// and 40 terms leave less than 2^-120.
constexpr DD minusLog(double c) {
    const DD s = div(DD{1.0 - c, 0.0}, twoSum(1.0, c));  // 1 - c is exact
    const DD z = mul(s, s);
    DD power = s;
    DD sum = s;
    for (int k = 1; k < 40; ++k) {
        power = mul(power, z);
        sum = add(sum, div(power, 2.0 * k + 1.0));
    }
    return {2.0 * sum.hi, 2.0 * sum.lo};
}
constexpr LogTable kLogTable = [] {
    LogTable table{};
    for (int i = 0; i < 128; ++i) {
        double c = 0.0, unused = 0.0;
        split(1.0 / (1.0 + i / 128.0), c, unused);  // rounds to 26 bits, within 2^-26
        table.at[i] = {c, minusLog(c)};
    }
    return table;
}();

// ln 2 with a leading part of 42 bits, so that its product with any exponent
// is exact; the two together are within 2^-96 of ln 2.
constexpr double kLn2Head = [] {
    const double t = 2049.0 * kLn2.hi;  // 2^11 + 1 splits off the low 11 bits
    return t - (t - kLn2.hi);
}();
constexpr double kLn2Tail = (kLn2.hi - kLn2Head) + kLn2.lo;

// ---- 2^t ---------------------------------------------------------------

// 2^(th + tl) for |th| <= 1000 and |tl| at most half a unit of th, as
// (hi + lo) · 2^scale with hi + lo in [2^-1/128, 2^(127/128)].
//
// With k the integer nearest 64·th, j = k mod 64 and n = (k - j)/64,
// 2^t = 2^n · T (1 + q), T = 2^(j/64), r = (th - k/64) + tl, |r| <= 2^-7,
// q = c1 r + r^2 P(r) + R with c_k = ln2^k/k!, P = c2 + c3 r + ... + c7 r^5 and
// |R| <= c8 |r|^8 · 1.01 < 2^-75. Relative to the result (at least T/1.006):
// - T c1 r: the table's T·ln 2 is within 2^-99, the product of its leading
//   part with r's is exact, the rest below 2^-104;
// - T r^2 P, below 2^-16.06 T, comes out within six units of 2^-53 of it:
//   the square (with r's low part folded in), P (c2, rounded to a double, is
//   added last and outweighs the other terms by 2^9), and two products:
//   below 2^-66.5;
// - the sum of the low parts rounds once at that level: below 2^-69;
// - T itself is within 2^-98.
// In all less than 2^-66.2.
PORTABLE_MATH_INLINE Estimate estimateExp2Of(double th, double tl) {
    // Adding 1.5 · 2^52 rounds 64·th (exact) to an integer, whose two's
    // complement the low bits of the sum then hold.
    constexpr double kShifter = 0x1.8p52;
    const double shifted = 64.0 * th + kShifter;
    const double k = shifted - kShifter;
    const int index = static_cast<int32_t>(static_cast<uint32_t>(bitsOf(shifted)));
    const int j = index & 63;
    const int n = (index - j) / 64;
    // th and k/64 lie within a factor of two of each other (or k is 0), so
    // the difference is exact; it is a multiple of th's unit, which is at
    // least twice |tl|, so the sum with tl is split exactly.
    const DD r = quickTwoSum(th - k * 0x1p-6, tl);
    const Exp2Entry& e = kExp2Table.at[j];

    double rHead = 0.0, rTail = 0.0;
    split(r.hi, rHead, rTail);
    const double slopeR = e.slope.hi * r.hi;
    const double slopeRError =
        ((e.slopeHead * rHead - slopeR) + e.slopeHead * rTail + e.slopeTail * rHead) +
        e.slopeTail * rTail;

    const double r2 = r.hi * r.hi;
    const double poly =
        kExp2Poly.c[2].hi +
        (kExp2Poly.c[3].hi * r.hi +
         r2 * ((kExp2Poly.c[4].hi + kExp2Poly.c[5].hi * r.hi) +
               r2 * (kExp2Poly.c[6].hi + kExp2Poly.c[7].hi * r.hi)));
    const double square = r.hi * (r.hi + 2.0 * r.lo);

    // T outweighs |T c1 r| <= 2^-7.5 T.
    const DD sum = quickTwoSum(e.power.hi, slopeR);
    const double lo = ((sum.lo + slopeRError) + (e.slope.lo * r.hi + e.slope.hi * r.lo + e.power.lo)) +
                      e.power.hi * (square * poly);
    const DD value = quickTwoSum(sum.hi, lo);
    return {value.hi, value.lo, value.hi * kExp2Error, n, true};
}

double scaled(const Estimate& e) { return e.hi * powerOfTwo(e.scale); }

// ---- ln x ----------------------------------------------------------------

// ln x for a positive normal x, with x = 2^E · m:
//   ln x = E ln2 + (-ln c) + ln(1 + r),   r = m c - 1,
// where m is taken in [1 - 2^-9, 2 - 2^-8) so that x near 1 has E = 0 and c = 1
// and nothing cancels, and c from the table for the nearest 1 + i/128. Then
// |r| <= 2^-8 (1 + 2^-17), and ln(1 + r) = r - r^2/2 + r^3 P(r) + R with
// P = 1/3 - r/4 + ... + r^6/9 and |R| < |r|^10/10 < 2^-83.
// Either E = 0 and c = 1, and ln x = ln(1 + r) is within a factor 1 + 2^-8 of
// r, or |ln x| >= 2^-9 > |r|/2: every error below is relative to |r|/2 at most.
// - E ln2 and -ln c: the leading parts are added exactly, the rest is within
//   2^-96 |E| + 2^-98, relative below 2^-86.
// - r and r^2/2 are exact double-doubles (r from two exact products).
// - r^3 P, below |r|^3/3, comes out within about five units of 2^-53:
//   relative to |r|/2 below 2^-68.2; leaving r's low part out of it adds
//   below 2^-69.
// - the low parts' sum rounds a few times at the level of r^3/3 and of 2^-53
//   of the result: below 2^-68.5.
// In all less than 2^-67.
PORTABLE_MATH_INLINE Estimate estimateLogOf(double x) {
    if (!(x >= 0x1p-1022) || !isFinite(x)) return kNoEstimate;
    const uint64_t bits = bitsOf(x);
    const uint64_t fraction = bits & 0x000FFFFFFFFFFFFFull;
    int exponent = static_cast<int>(bits >> 52) - 1023;
    double m;
    int i;
    if (fraction >= uint64_t{0xFF} << 44) {  // m from 2 - 2^-8 on: m/2, near 1
        m = fromBits(fraction | 0x3FE0000000000000ull);
        ++exponent;
        i = 0;
    } else {  // the nearest 1 + i/128, i below 128
        m = fromBits(fraction | 0x3FF0000000000000ull);
        i = static_cast<int>((fraction + (uint64_t{1} << 44)) >> 45);
    }
    const LogEntry& entry = kLogTable.at[i];
    // m = mh + ml with mh of 26 bits: mh·c (52 bits) and ml·c (53 bits) are
    // exact, and mh·c lies near 1, so subtracting 1 is exact too.
    const double mh = fromBits(bitsOf(m) & ~((uint64_t{1} << 27) - 1));
    const double ml = m - mh;
    const DD r = twoSum(mh * entry.c - 1.0, ml * entry.c);

    const DD square = twoProduct(r.hi, r.hi);
    const double r2 = square.hi;
    // 1/3 is added last and outweighs the rest by 2^6.
    const double poly =
        1.0 / 3 + (-0.25 * r.hi + r2 * ((1.0 / 5 - r.hi * (1.0 / 6)) +
                                        r2 * ((1.0 / 7 - 0.125 * r.hi) + r2 * (1.0 / 9))));
    const double cubic = (r2 * r.hi) * poly;

    // Each sum's first term is zero or outweighs the second (the table's -ln c
    // is above 2^-7.01, twice |r|, when it is not 0, E ln2 outweighs it when
    // E is not 0, and what remains is at least 2^-9 or r itself), so each is
    // split exactly.
    const DD big = quickTwoSum(exponent * kLn2Head, entry.minusLogC.hi);
    const DD withR = quickTwoSum(big.hi, r.hi);
    const DD withSquare = quickTwoSum(withR.hi, -0.5 * square.hi);
    const double small = exponent * kLn2Tail + entry.minusLogC.lo + r.lo -
                         (0.5 * square.lo + r.hi * r.lo) + cubic;
    const double lo = (big.lo + withR.lo + withSquare.lo) + small;
    const DD value = quickTwoSum(withSquare.hi, lo);
    return {value.hi, value.lo, (value.hi < 0.0 ? -value.hi : value.hi) * kLogError, 0, true};
}

// log_b x = ln x · log_b e; the double-double product adds below 2^-103.
PORTABLE_MATH_INLINE Estimate estimateLogScaled(double x, DD logOfE) {
    Estimate e = estimateLogOf(x);
    if (!e.valid) return e;
    const DD value = mul(DD{e.hi, e.lo}, logOfE);
    return {value.hi, value.lo, (value.hi < 0.0 ? -value.hi : value.hi) * kLogError, 0, true};
}

PORTABLE_MATH_INLINE Estimate estimateLog2Of(double x) { return estimateLogScaled(x, kLog2E); }

// sin x for 2^-26 <= |x| <= 1.6, with x = a + r, a = i/128, |r| <= 2^-8:
//   sin x = S + C r + C (sin r - r) + S (cos r - 1),  S, C = sin a, cos a,
// sin r - r = r^3 (-1/6 + r^2/120 - r^4/5040) + R1, |R1| < r^9/9! < 2^-90,
// cos r - 1 = -r^2/2 + r^4 (1/24 - r^2/720) + R2, |R2| < r^8/8! < 2^-79.
// Either a = 0 and sin x = r (1 - r^2/6 ...), or S <= 2 sin x (sin x >=
// sin(a/2) >= S/2); so relative to sin x:
// - C r: the leading product is exact, the rest below 2^-104;
// - S r^2/2 (below 2^-17 S) rounds twice, the square and the product: below
//   2^-68; its sum with the low parts once more: below 2^-69;
// - C (sin r - r), below r^3/6, within six units of 2^-53: below 2^-69;
// - the table, the truncation and the terms left out: below 2^-70.
// In all less than 2^-67.
PORTABLE_MATH_INLINE Estimate estimateSinOf(double x) {
    const double ax = x < 0.0 ? -x : x;
    if (!(ax >= 0x1p-26 && ax <= kSinQuickLimit)) return kNoEstimate;
    // ax·128 is exact; |ax·128 - i| is at most 1/2 and a hair, so ax and a lie
    // within a factor of two of each other (or i is 0) and r is exact.
    const int i = static_cast<int>(ax * kSinTableStep + 0.5);
    const double r = ax - i * (1.0 / kSinTableStep);
    const SinCos& at = kSinCosTable.at[i];

    const double z = r * r;
    const double sinTail = (r * z) * (-1.0 / 6 + z * (1.0 / 120 + z * (-1.0 / 5040)));
    const double cosTail = (z * z) * (1.0 / 24 + z * (-1.0 / 720));
    const double halfSquareS = 0.5 * (at.sin.hi * z);

    double rHead = 0.0, rTail = 0.0;
    split(r, rHead, rTail);
    const double cr = at.cos.hi * r;
    const double crError =
        ((at.cosHead * rHead - cr) + at.cosHead * rTail + at.cosTail * rHead) + at.cosTail * rTail;
    // S is 0 or at least sin(1/128), above |C r| <= 2^-8.
    const DD sum = quickTwoSum(at.sin.hi, cr);
    double lo = ((sum.lo + crError) + (at.cos.lo * r + at.sin.lo)) +
                (at.cos.hi * sinTail + at.sin.hi * cosTail);
    lo -= halfSquareS;
    const DD value = quickTwoSum(sum.hi, lo);
    const double sign = x < 0.0 ? -1.0 : 1.0;
    return {sign * value.hi, sign * value.lo, value.hi * kSinError, 0, true};
}

// x^y = 2^(y log2 x) for a positive normal x and |y log2 x| <= 1000. An error
// d in log2 x, relative, moves t = y log2 x by |t| d and the result by at most
// ln2 |t| d (1 + 2^-60), relative; the product y log2 x in double-double adds
// below 2^-104 |t|.
PORTABLE_MATH_INLINE Estimate estimatePowOf(double x, double y) {
    if (!(y > -0x1p900 && y < 0x1p900) || y == 0.0) return kNoEstimate;  // NaN too
    const Estimate log2x = estimateLog2Of(x);
    if (!log2x.valid) return kNoEstimate;
    const double guess = y * log2x.hi;
    if (!(guess >= -1000.0 && guess <= 1000.0)) return kNoEstimate;
    DD t = twoProduct(y, log2x.hi);
    t.lo += y * log2x.lo;
    t = quickTwoSum(t.hi, t.lo);
    const double at = t.hi < 0.0 ? -t.hi : t.hi;
    // Below 2^-54, 2^t lies within 0.7 · 2^-54 of 1: half a unit below 1 is
    // 2^-54.
    if (at < 0x1p-54) return {1.0, 0.0, 0x1.8p-55, 0, true};
    Estimate e = estimateExp2Of(t.hi, t.lo);
    e.bound = e.hi * (kExp2Error + at * kLogError);
    return e;
}

PORTABLE_MATH_INLINE Estimate estimateExp2Plain(double x) {
    const double ax = x < 0.0 ? -x : x;
    if (!(ax >= 0x1p-54 && ax <= 1000.0)) return kNoEstimate;
    return estimateExp2Of(x, 0.0);
}

}  // namespace

// ---- The functions ---------------------------------------------------------

Estimate estimateSin(double x) { return estimateSinOf(x); }

Estimate estimateExp2(double x) { return estimateExp2Plain(x); }

Estimate estimateLog(double x) { return estimateLogOf(x); }

Estimate estimateLog2(double x) { return estimateLog2Of(x); }

Estimate estimateLog10(double x) { return estimateLogScaled(x, kLog10E); }

Estimate estimatePow(double x, double y) { return estimatePowOf(x, y); }

bool sin(double x, double& result) {
    // Below 2^-26, x^3/6 is less than half a unit of x, even below a power of
    // two, so x itself is the rounded sine.
    if (x > -0x1p-26 && x < 0x1p-26) {
        result = x;
        return true;
    }
    const Estimate e = estimateSinOf(x);
    if (!settles(e)) return false;
    result = e.hi;
    return true;
}

bool exp2(double x, double& result) {
    // Below 2^-54, |2^x - 1| < 0.7 · 2^-54: less than half a unit either side
    // of 1.
    if (x > -0x1p-54 && x < 0x1p-54) {
        result = 1.0;
        return true;
    }
    const Estimate e = estimateExp2Plain(x);
    if (!settles(e)) return false;
    result = scaled(e);  // exact: the result is a normal number
    return true;
}

bool log(double x, double& result) {
    const Estimate e = estimateLogOf(x);
    if (!settles(e)) return false;
    result = e.hi;
    return true;
}

bool log2(double x, double& result) {
    const Estimate e = estimateLog2Of(x);
    if (!settles(e)) return false;
    result = e.hi;
    return true;
}

bool log10(double x, double& result) {
    const Estimate e = estimateLogScaled(x, kLog10E);
    if (!settles(e)) return false;
    result = e.hi;
    return true;
}

bool pow(double x, double y, double& result) {
    const Estimate e = estimatePowOf(x, y);
    if (!settles(e)) return false;
    result = scaled(e);
    return true;
}

}  // namespace portable_math::quick
