// Reads the table of a frequency scan of an ADF-style output: old and new frequency per line.
// Each mode takes at most one new value; modes with the same old frequency are matched in mode
// order.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <cmath>
#include <vector>

void adffrequencyscan(Store& s, InputFile& in) {
    s.lscanfreq = true;
    for (int m = 1; m <= s.nvib; ++m) {
        s.fscanfreq(1, m) = s.vibs(m);
        s.fscanfreq(2, m) = s.vibs(m);
    }
    std::vector<bool> matched(std::size_t(s.nvib) + 1, false);
    auto has = [](std::string_view line, std::string_view marker) {
        return line.find(marker) != std::string_view::npos;
    };
    std::string_view line;
    while (in.getline(line) && !has(line, "========")) {
        if (has(line, "not re-calculated") || has(line, "--------") ||
            has(line, "Vibration symmetry")) {
            continue;
        }
        const FreeRead f = freerd(line);
        const double before = f.fndreals(1);
        const double after = f.fndreals(2);
        for (int m = 1; m <= s.nvib; ++m) {
            if (!matched[std::size_t(m)] && std::abs(s.vibs(m) - before) < 0.01) {
                s.vibs(m) = after;
                s.fscanfreq(2, m) = after;
                matched[std::size_t(m)] = true;
                break;
            }
        }
    }
}
