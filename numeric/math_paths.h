// The two ways each function of portable_math is computed, for the tests and
// benchmarks that hold them against each other; everything else uses
// portable_math.h alone.
//
// The exact path evaluates to about 2^-100 and always answers. The quick path
// evaluates to about 2^-65 with a proven bound and answers only when every
// value within that bound rounds to the same double, which is then the
// correctly rounded result and so the exact path's own.
#pragma once

namespace portable_math {

namespace exact {
double sin(double x);
double exp2(double x);
double log(double x);
double log2(double x);
double log10(double x);
double pow(double x, double y);
}  // namespace exact

namespace quick {

// The function's value is (hi + lo) · 2^scale to within bound · 2^scale;
// valid is false where the quick evaluation does not apply.
struct Estimate {
    double hi;
    double lo;
    double bound;
    int scale;
    bool valid;
};

Estimate estimateSin(double x);
Estimate estimateExp2(double x);
Estimate estimateLog(double x);
Estimate estimateLog2(double x);
Estimate estimateLog10(double x);
Estimate estimatePow(double x, double y);

// The correctly rounded result, or false when the quick path cannot tell it
// and the exact path must.
bool sin(double x, double& result);
bool exp2(double x, double& result);
bool log(double x, double& result);
bool log2(double x, double& result);
bool log10(double x, double& result);
bool pow(double x, double y, double& result);

}  // namespace quick

}  // namespace portable_math
