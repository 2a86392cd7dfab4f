// The vibration-weights side file: for every atom, the modes in which it moves most, ranked by
// the squared length of its displacement and listed with the mode's frequency.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>
#include <new>
#include <numeric>
#include <vector>

namespace {

template <class T>
std::vector<T> workarray(std::ostream& log, std::string_view name, int n,
                         std::string_view routine) {
    try {
        return std::vector<T>(std::size_t(n));
    } catch (const std::bad_alloc&) {
        allocexit(log, name, n, routine);
    }
}

} // namespace

void writevibweights(Store& s, std::string_view routine) {
    OutputFile out;
    if (!out.open(s.path(sidefilename(s, vibweightssuffix)))) {
        myexit("Error opening vibration weights file", routine);
    }
    std::vector<double> weight = workarray<double>(s.log(), "weight", s.nvib, routine);
    std::vector<int> ranked = workarray<int>(s.log(), "ranked", s.nvib, routine);

    for (int p = 1; p <= s.nat; ++p) {
        const int c = s.iorder(p, 2);
        for (int m = 1; m <= s.nvib; ++m) {
            double w = 0.0;
            for (int k = 1; k <= 3; ++k) {
                w += s.vibvec(k, c, m) * s.vibvec(k, c, m);
            }
            weight[std::size_t(m - 1)] = w;
        }
        // Largest weight first; equal weights, and all weights that are not above zero (NaN
        // included), keep increasing mode order, the positive ones ahead of the rest.
        std::iota(ranked.begin(), ranked.end(), 1);
        std::stable_sort(ranked.begin(), ranked.end(), [&](int a, int b) {
            const double wa = weight[std::size_t(a - 1)];
            const double wb = weight[std::size_t(b - 1)];
            return wa > 0.0 && (!(wb > 0.0) || wa > wb);
        });

        const std::string_view symbol = atomsymbol(s.iat(c));
        out.line("");
        // cols 1-37 text | 38-39 symbol | 40-44 position
        std::string head("Contributions in vibrations for atom ");
        head += symbol;
        fw::I(head, p, 5);
        out.line(head);
        for (int r = 1; r <= std::min(s.nvib, 10); ++r) {
            const int m = ranked[std::size_t(r - 1)];
            // cols 1-9 "ContrVib " | 10-11 symbol | 12-16 position | 17-21 blanks |
            // 22-31 "Vibr(cm-1)" | 32-43 frequency | 44-53 "   Weight " | 54-65 weight in %
            std::string line("ContrVib ");
            line += symbol;
            fw::I(line, p, 5);
            line += "     ";
            fw::A(line, "Vibr(cm-1) ", 10);
            fw::F(line, s.vibs(m), 12, 2);
            fw::A(line, "  Weight ", 10);
            fw::F(line, weight[std::size_t(m - 1)] * 100.0, 12, 2);
            out.line(line);
        }
    }
    if (!out.close()) {
        myexit("Error writing vibration weights file", routine);
    }
}
