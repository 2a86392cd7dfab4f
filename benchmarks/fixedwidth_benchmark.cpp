// Fixed-width fields as the writers use them: coordinates in F10.6, F16.8 and F8.3, energies in
// F15.4, and atom and residue numbers in I5.
#include "control/fixedwidth.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<double> values() {
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> u(-60.0, 60.0);
    std::vector<double> v(1024);
    for (double& x : v) {
        x = u(gen);
    }
    return v;
}

void BM_F(benchmark::State& state) {
    const int w = int(state.range(0));
    const int d = int(state.range(1));
    const std::vector<double> v = values();
    std::string out;
    std::size_t k = 0;
    for (auto _ : state) {
        out.clear();
        fw::F(out, v[k++ % v.size()], w, d);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_I(benchmark::State& state) {
    std::string out;
    long long n = 0;
    for (auto _ : state) {
        out.clear();
        fw::I(out, n++ % 100000, 5);
        benchmark::DoNotOptimize(out.data());
    }
}

} // namespace

BENCHMARK(BM_F)->Args({10, 6})->Args({16, 8})->Args({8, 3})->Args({15, 4});
BENCHMARK(BM_I);
