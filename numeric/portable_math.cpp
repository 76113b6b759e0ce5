#include "numeric/portable_math.h"

#include "numeric/math_paths.h"

namespace portable_math {

double sin(double x) {
    double result;
    return quick::sin(x, result) ? result : exact::sin(x);
}

double exp2(double x) {
    double result;
    return quick::exp2(x, result) ? result : exact::exp2(x);
}

double log(double x) {
    double result;
    return quick::log(x, result) ? result : exact::log(x);
}

double log2(double x) {
    double result;
    return quick::log2(x, result) ? result : exact::log2(x);
}

double log10(double x) {
    double result;
    return quick::log10(x, result) ? result : exact::log10(x);
}

double pow(double x, double y) {
    double result;
    return quick::pow(x, y, result) ? result : exact::pow(x, y);
}

}  // namespace portable_math
