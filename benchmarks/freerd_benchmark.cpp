// The field reader on the lines it meets most: atom lines of coordinate files and outputs, a
// frequency-table line, a text line, and a line of long strings.
#include "control/freeread.h"

#include <benchmark/benchmark.h>

#include <string_view>

namespace {

constexpr std::string_view lines[] = {
    "O        0.000000000     0.000000000     0.119262000",
    "  C      -1.41498800    0.25467300    0.00000000",
    "     1 C      0.000000    1.402755    0.000000   12.000000",
    "      1       A        120.2345      12.3456          0.1234",
    "  Total Bonding Energy:   -156.12345678 a.u.  =  -4248.1234 eV",
    "HETATM    1 OW   SOL     1      12.345  23.456  34.567  1.00  0.00           O",
    "'a quoted string of some length' another_rather_long_unquoted_string 1.0D-05",
};

void BM_freerd(benchmark::State& state) {
    const std::string_view line = lines[state.range(0)];
    for (auto _ : state) {
        const FreeRead f = freerd(line);
        benchmark::DoNotOptimize(f.nfndt);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(line.size()));
}

} // namespace

BENCHMARK(BM_freerd)->DenseRange(0, 6);
