// Finding the marked lines of a long output: every line searched, against one scan of the whole
// text (in halves, and not), on a text of optimisation cycles as an ORCA run prints them.
#include "control/markedlines.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const std::string& cycles() {
    static const std::string text = [] {
        std::string cycle = "                  CARTESIAN COORDINATES (ANGSTROEM)\n"
                            "                  ---------------------------------\n";
        for (int a = 0; a < 20; ++a) {
            cycle += "  C     -1.190713    0.702861    0.000000\n";
        }
        for (int k = 0; k < 300; ++k) {
            cycle += "   " + std::to_string(k) +
                     "   -382.30847852913  1.49e-05  2.06e-04  "
                     "4.55e-04  0.0000  1.0000  0.0000  0.0000  0.0000\n";
        }
        cycle += "FINAL SINGLE POINT ENERGY      -382.308578474237\n";
        std::string whole;
        while (whole.size() < (std::size_t(32) << 20)) {
            whole += cycle;
        }
        return whole;
    }();
    return text;
}

// The coordinate and energy markers of such a run, and a few that it never prints.
MarkerSet orcamarkers() {
    return MarkerSet{"CARTESIAN COORDINATES (ANGSTROEM)", "FINAL SINGLE POINT ENERGY",
                     "Number of atoms", "VIBRATIONAL FREQUENCIES", "TERMINATED NORMALLY"};
}

void BM_everylinesearched(benchmark::State& state) {
    const MarkerSet set = orcamarkers();
    InputFile in(cycles());
    for (auto _ : state) {
        in.rewind();
        std::string_view line;
        std::uint64_t marked = 0;
        while (in.getline(line)) {
            marked += set.find(line) != 0 ? 1 : 0;
        }
        benchmark::DoNotOptimize(marked);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(cycles().size()));
}

void BM_markedlines(benchmark::State& state) {
    const MarkerSet set = orcamarkers();
    InputFile in(cycles());
    for (auto _ : state) {
        // A reader's object lives for one file: each round scans afresh.
        MarkedLines marked(in, set, std::size_t(1) << 20,
                           state.range(0) != 0 ? 0 : cycles().size() + 1);
        in.rewind();
        std::string_view line;
        std::uint64_t found = 0;
        std::uint64_t count = 0;
        while (marked.next(line, found)) {
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(cycles().size()));
}

} // namespace

BENCHMARK(BM_everylinesearched)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_markedlines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
