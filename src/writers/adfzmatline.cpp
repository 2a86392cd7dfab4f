// The start of an atom line of an ADF Z-matrix atoms block, shared by the ADFZ block and the
// OPTH script.
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

std::string adfzmatline(const Store& s, int i) {
    const int a = s.iorder(i, 2);
    // cols 1-4 position F4.0 | 5-6 | 7-8 symbol | 9-10 | 11-13 partner I3 | 14-15 | 16-18 | 19-20
    //      | 21-23
    std::string line;
    fw::F(line, i, 4, 0);
    line += "  ";
    line += atomsymbol(s.iat(a));
    line += "  ";
    for (int k = 1; k <= 3; ++k) {
        if (k > 1) {
            line += "  ";
        }
        // A partner names an atom by its output position. A value that names no atom (0, or a
        // reference position before the first atom) is written as it stands.
        const int r = s.kmatrx(k, a);
        fw::I(line, r >= 1 && r <= s.nat ? s.iorder(r, 1) : r, 3);
    }
    return line;
}
