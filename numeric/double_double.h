// Double-double arithmetic: unevaluated sums hi + lo of two IEEE doubles,
// built from additions, subtractions, multiplications and divisions alone, so
// that every target that rounds each of those once (SSE2, no contraction into
// fused multiply-adds, no extended precision) gives the same bits. The
// functions are constexpr so that tables of constants can be worked out by the
// compiler in the same arithmetic.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace portable_math::dd {

// An unevaluated sum hi + lo with |lo| at most half a unit of hi: about 106
// significant bits.
struct DD {
    double hi;
    double lo;
};

// Exact when a is 0 or its exponent is at least that of b.
constexpr DD quickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

constexpr DD twoSum(double a, double b) {
    const double s = a + b;
    const double v = s - a;
    return {s, (a - (s - v)) + (b - v)};
}

// Dekker's exact product: the operands are split into halves of 26 bits,
// whose products a double holds exactly. No fused multiply-add is needed.
constexpr void split(double a, double& hi, double& lo) {
    const double t = 134217729.0 * a;  // 2^27 + 1
    hi = t - (t - a);
    lo = a - hi;
}

constexpr DD twoProduct(double a, double b) {
    const double p = a * b;
    double ah = 0.0, al = 0.0, bh = 0.0, bl = 0.0;
    split(a, ah, al);
    split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

constexpr DD add(DD a, DD b) {
    DD s = twoSum(a.hi, b.hi);
    const DD t = twoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = quickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return quickTwoSum(s.hi, s.lo);
}

constexpr DD add(DD a, double b) {
    DD s = twoSum(a.hi, b);
    s.lo += a.lo;
    return quickTwoSum(s.hi, s.lo);
}

constexpr DD negate(DD a) { return {-a.hi, -a.lo}; }

constexpr DD mul(DD a, DD b) {
    DD p = twoProduct(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return quickTwoSum(p.hi, p.lo);
}

constexpr DD mul(DD a, double b) {
    DD p = twoProduct(a.hi, b);
    p.lo += a.lo * b;
    return quickTwoSum(p.hi, p.lo);
}

// Long division: each step's remainder is exact enough for the next digit.
constexpr DD div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = add(a, negate(mul(b, q1)));
    const double q2 = r.hi / b.hi;
    r = add(r, negate(mul(b, q2)));
    const double q3 = r.hi / b.hi;
    return add(quickTwoSum(q1, q2), q3);
}

constexpr DD div(DD a, double b) { return div(a, DD{b, 0.0}); }

// Constants to 106 bits and more.
constexpr DD kLn2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr DD kLog2E = {0x1.71547652b82fep+0, 0x1.777d0ffda0d24p-56};
constexpr DD kLog10E = {0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

inline uint64_t bitsOf(double x) {
    uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

inline double fromBits(uint64_t b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// 2^n for n within the normal exponent range.
inline double powerOfTwo(int n) { return fromBits(static_cast<uint64_t>(n + 1023) << 52); }

inline bool isFinite(double x) { return std::fabs(x) <= std::numeric_limits<double>::max(); }

// The integer nearest to v, |v| < 2^62; halves may go either way.
constexpr double nearestInteger(double v) {
    return static_cast<double>(static_cast<int64_t>(v < 0.0 ? v - 0.5 : v + 0.5));
}

// Series coefficients, worked out by the compiler in the same IEEE double
// arithmetic as everything else.
template <size_t N>
struct Series {
    DD c[N];
};

// The sum of c[k] x^k by Horner's rule. The terms from `fromDouble` on are
// below 2^-56 of the sum, so rounding them to plain doubles cannot reach the
// result, and only the leading ones are carried in double-double.
template <size_t N>
constexpr DD evaluate(const Series<N>& series, DD x, size_t fromDouble) {
    double tail = series.c[N - 1].hi;
    for (size_t k = N - 1; k-- > fromDouble;) tail = tail * x.hi + series.c[k].hi;
    DD sum = {tail, 0.0};
    for (size_t k = fromDouble; k-- > 0;) sum = add(mul(sum, x), series.c[k]);
    return sum;
}

}  // namespace portable_math::dd
