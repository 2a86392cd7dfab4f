// Z-matrix with unmarked variables and their values to 3 decimals, atom by atom.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

void writezmatsp(Store& s, OutputFile& out) {
    writezmatatoms(s, out, false);
    out.line("");
    constexpr char kinds[3] = {'R', 'A', 'D'};
    // Position k has k - 1 values, at most three. Each is an F10.3 field with its leading blanks
    // removed: "A2=104.520", or 10 asterisks when too large.
    for (int k = 2; k <= s.nat; ++k) {
        const int a = s.iorder(k, 2);
        for (int j = 1; j <= std::min(k - 1, 3); ++j) {
            const double unit = j == 1 ? angstrom_per_bohr : degrees_per_radian;
            const std::string field = fw::F(s.zmat(j, a) * unit, 10, 3);
            out.line(zmatvariable(kinds[j - 1], k) + "=" + std::string(trimleft(field)));
        }
    }
    out.line("");
}
