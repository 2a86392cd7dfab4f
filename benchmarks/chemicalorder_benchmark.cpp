// The chemical reordering of the bench workloads (a water box, and helices in water), read from
// the folder KRU_BENCH_DATA names (/tmp/kru-bench/data by default, where the bench generates
// them).
#include "analysis/analysis.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

void BM_chemicalorder(benchmark::State& state, const char* file) {
    const char* folder = std::getenv("KRU_BENCH_DATA");
    const std::string path = std::string(folder ? folder : "/tmp/kru-bench/data") + "/" + file;
    InputFile in;
    if (!in.load(path)) {
        state.SkipWithError(("cannot read " + path).c_str());
        return;
    }
    Store s;
    readxyz(s, in);
    make_iconn(s, false);
    const Table1<int> molecules = s.iatmol;
    for (auto _ : state) {
        s.iatmol = molecules;
        chemicalorder(s);
        benchmark::DoNotOptimize(s.iorder(1, 1));
    }
    state.SetItemsProcessed(state.iterations() * s.nat);
}

} // namespace

BENCHMARK_CAPTURE(BM_chemicalorder, water3000, "water3000.xyz")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_chemicalorder, prot3000, "prot3000.xyz")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_chemicalorder, water30000, "water30000.xyz")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_chemicalorder, prot30000, "prot30000.xyz")->Unit(benchmark::kMicrosecond);
