// Jacobi diagonalisation of dense symmetric matrices of the sizes of mass-weighted Hessians
// (100, 200 and 300 atoms).
#include "analysis/analysis.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

void BM_diajac(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::size_t nn = std::size_t(n);
    std::mt19937 gen(1);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> a(nn * nn);
    for (std::size_t j = 0; j < nn; ++j) {
        for (std::size_t i = 0; i <= j; ++i) {
            a[i + nn * j] = a[j + nn * i] = u(gen);
        }
    }
    std::vector<double> v(nn * nn), d(nn);
    for (auto _ : state) {
        diajac(a.data(), v.data(), d.data(), n);
        benchmark::DoNotOptimize(d.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_diajac)->Arg(300)->Arg(600)->Arg(900)->Unit(benchmark::kMillisecond);
