#include "host/tool/plot/magnitude_response.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace {
// In-place iterative radix-2 transform.
void transform(std::vector<std::complex<double>>& data) {
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    // The twiddle factors once, for every stage: a stage of length L uses
    // every (n / L)-th of them.
    const double pi = std::acos(-1.0);
    std::vector<std::complex<double>> twiddles(n / 2);
    for (size_t k = 0; k < n / 2; ++k)
        twiddles[k] = std::polar(1.0, -2.0 * pi * static_cast<double>(k) / static_cast<double>(n));
    for (size_t length = 2; length <= n; length <<= 1) {
        const size_t stride = n / length;
        for (size_t start = 0; start < n; start += length) {
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = data[start + k];
                const std::complex<double> odd = data[start + k + length / 2] * twiddles[k * stride];
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
            }
        }
    }
}
}  // namespace

std::vector<double> magnitudeResponseDecibels(const float* samples, size_t count, size_t size,
                                              double reference, double floorDecibels) {
    std::vector<std::complex<double>> data(size);
    for (size_t i = 0; i < std::min(count, size); ++i) data[i] = samples[i];
    transform(data);
    std::vector<double> decibels(size / 2 + 1);
    for (size_t k = 0; k < decibels.size(); ++k) {
        const double magnitude = std::abs(data[k]) / reference;
        decibels[k] = magnitude > 0.0 ? std::max(20.0 * std::log10(magnitude), floorDecibels)
                                      : floorDecibels;
    }
    return decibels;
}
