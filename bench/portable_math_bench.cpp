// Cost of one call of each elementary function on the arguments the filter's
// preparation and the cutoff's mapping give it: the exact path alone against
// the public function (the quick path, and the exact one where it declines).
// log10 serves only the decibel display, on the logarithm's arguments here.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "numeric/math_paths.h"
#include "numeric/portable_math.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<double> uniform(double low, double high, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> draw(low, high);
    std::vector<double> v(1024);
    for (double& x : v) x = draw(random);
    return v;
}

// pi·fc/rate for cutoffs of 50 Hz to 8 kHz at 44.1 kHz; sweeps of 0 to 7
// octaves; the mapping's arguments of the normalised cutoff; "Filter Q".
const std::vector<double> kSineArguments = [] {
    std::vector<double> v = uniform(50.0, 8000.0, 1);
    for (double& fc : v) fc = kPi * fc / 44100.0;
    return v;
}();
const std::vector<double> kExp2Arguments = uniform(0.0, 7.32, 2);
const std::vector<double> kLogArguments = uniform(1.0, 160.0, 3);
const std::vector<double> kQArguments = uniform(0.01, 1.0, 4);

template <typename Function>
void run(benchmark::State& state, const std::vector<double>& arguments, Function function) {
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(function(arguments[i]));
        i = (i + 1) & 1023;
    }
}

double quarterExact(double v) { return portable_math::exact::pow(v, 0.25); }
double quarter(double v) { return portable_math::pow(v, 0.25); }

void BM_SinExact(benchmark::State& s) { run(s, kSineArguments, portable_math::exact::sin); }
void BM_Sin(benchmark::State& s) { run(s, kSineArguments, portable_math::sin); }
void BM_Exp2Exact(benchmark::State& s) { run(s, kExp2Arguments, portable_math::exact::exp2); }
void BM_Exp2(benchmark::State& s) { run(s, kExp2Arguments, portable_math::exp2); }
void BM_LogExact(benchmark::State& s) { run(s, kLogArguments, portable_math::exact::log); }
void BM_Log(benchmark::State& s) { run(s, kLogArguments, portable_math::log); }
void BM_Log2Exact(benchmark::State& s) { run(s, kLogArguments, portable_math::exact::log2); }
void BM_Log2(benchmark::State& s) { run(s, kLogArguments, portable_math::log2); }
void BM_Log10Exact(benchmark::State& s) { run(s, kLogArguments, portable_math::exact::log10); }
void BM_Log10(benchmark::State& s) { run(s, kLogArguments, portable_math::log10); }
void BM_PowQuarterExact(benchmark::State& s) { run(s, kQArguments, quarterExact); }
void BM_PowQuarter(benchmark::State& s) { run(s, kQArguments, quarter); }

}  // namespace

BENCHMARK(BM_SinExact);
BENCHMARK(BM_Sin);
BENCHMARK(BM_Exp2Exact);
BENCHMARK(BM_Exp2);
BENCHMARK(BM_LogExact);
BENCHMARK(BM_Log);
BENCHMARK(BM_Log2Exact);
BENCHMARK(BM_Log2);
BENCHMARK(BM_Log10Exact);
BENCHMARK(BM_Log10);
BENCHMARK(BM_PowQuarterExact);
BENCHMARK(BM_PowQuarter);
BENCHMARK_MAIN();
