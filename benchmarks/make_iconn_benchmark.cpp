// Connectivity of a box of water molecules: bonded lists and the 20 nearest non-bonded atoms of
// every atom.
#include "analysis/analysis.h"
#include "store/store.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

// Water molecules on a jittered cubic lattice at the density of liquid water (about 5.9 Bohr
// apart), randomly turned.
Store waterbox(int molecules) {
    Store s;
    s.nat = 3 * molecules;
    allocstuff(s);
    std::mt19937 gen(9);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const int side = int(std::ceil(std::cbrt(double(molecules))));
    const double spacing = 5.87;
    const double oh = 1.81; // O-H in Bohr
    for (int m = 0; m < molecules; ++m) {
        const int o = 3 * m + 1;
        const double centre[3] = {spacing * (m % side), spacing * ((m / side) % side),
                                  spacing * (m / (side * side))};
        s.iat(o) = 8;
        s.iat(o + 1) = 1;
        s.iat(o + 2) = 1;
        for (int k = 1; k <= 3; ++k) {
            s.xyz(k, o) = centre[k - 1] + 0.3 * u(gen);
        }
        for (int h = 1; h <= 2; ++h) {
            double dir[3] = {u(gen), u(gen), u(gen)};
            const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, o + h) = s.xyz(k, o) + oh * dir[k - 1] / len;
            }
        }
    }
    return s;
}

void BM_make_iconn(benchmark::State& state) {
    Store s = waterbox(int(state.range(0)));
    for (auto _ : state) {
        make_iconn(s);
        benchmark::DoNotOptimize(s.iconn(0, 1));
    }
    state.SetItemsProcessed(state.iterations() * s.nat);
}

// Bonded lists only, as each model of a multi-model PDB file needs them.
void BM_make_iconn_bonds(benchmark::State& state) {
    Store s = waterbox(int(state.range(0)));
    for (auto _ : state) {
        make_iconn(s, false);
        benchmark::DoNotOptimize(s.iconn(0, 1));
    }
    state.SetItemsProcessed(state.iterations() * s.nat);
}

} // namespace

BENCHMARK(BM_make_iconn)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_make_iconn_bonds)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
