// Arithmetic compiled the way the project never compiles its own, contracted
// into fused multiply-adds, as the check for them must find it.
extern "C" float fusedSum(const float* a, const float* b, int n) {
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) sum += a[i] * b[i];
    return sum;
}

extern "C" double fusedPolynomial(double x) { return ((0.5 * x + 0.25) * x + 0.125) * x + 1.0; }

// Enough code besides for the listing to count as one.
extern "C" int unfusedWork(const int* v, int n) {
    int total = 0;
    for (int i = 0; i < n; ++i) total += v[i] % 7 == 0 ? v[i] * 3 : v[i] ^ 5;
    return total;
}
