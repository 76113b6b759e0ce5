// Elementary functions that give the same bits on every platform the module
// is built for.
//
// The C library's versions differ: 64-bit glibc, 32-bit glibc (x87 code
// inside) and MinGW-w64 (x87 code, or msvcrt's) each round some results a
// unit in the last place differently, and the audio arithmetic that uses them
// is defined to the bit. These are computed from IEEE double additions,
// subtractions, multiplications and divisions alone, which every supported
// target carries out identically (SSE2, no contraction into fused
// multiply-adds, no extended precision): first a short polynomial with a
// proven error bound, whose result is taken when it cannot round otherwise
// (nearly always, in tens of nanoseconds), and otherwise the double-double
// evaluation, rounded once at the end. The result is the correctly rounded
// value unless the exact one lies within a relative 2^-100 or so of a halfway
// point between two doubles, below the normal range included; pow's exact
// result can lie on such a point itself (a square of a 27-bit odd mantissa,
// a cube of an 18-bit one), and is then rounded either way; the effect's own
// arguments never give one. sin reduces its argument exactly for |x| < 2^20;
// beyond that it is still the same everywhere but no longer the sine.
#pragma once

namespace portable_math {

double sin(double x);
double exp2(double x);
double log(double x);
double log2(double x);
double log10(double x);
// Follows C's special cases: pow(x, ±0) and pow(1, y) are 1, a negative x
// needs an integral y, zeros and infinities give the usual signed results.
double pow(double x, double y);

}  // namespace portable_math
