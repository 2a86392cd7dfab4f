// The title line and the atom block of the Z-matrix writers: each atom's symbol, the output
// positions of its distance, angle and dihedral partners and the names of its variables.
#include "control/control.h"
#include "control/files.h"
#include "store/atominfo.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

namespace {

// A partner is written as the output position of the atom it names. A value of 0 or below (a
// reference position before the first atom, from a Z-matrix input or a K-matrix file) names no
// atom and is written as it is, sign included; so would be one beyond the last atom, which the
// readers do not let through.
std::string partner(const Store& s, int r) {
    if (r >= 1 && r <= s.nat) {
        return getsuffix(s.iorder(r, 1));
    }
    if (r >= 0) {
        return getsuffix(r);
    }
    std::string text(1, '-');
    text += getsuffix(-static_cast<long long>(r));
    return text;
}

} // namespace

void writezmatatoms(const Store& s, OutputFile& out, bool star) {
    out.line("ZMAT made by KRU 2012.01");
    const std::string_view mark = star ? "*" : "";
    constexpr char kinds[3] = {'R', 'A', 'D'};
    for (int k = 1; k <= s.nat; ++k) {
        const int a = s.iorder(k, 2);
        // A reader that stops early can leave an atom without an element: write it as a dummy.
        const int z = s.iat(a) >= 1 && s.iat(a) <= nelements ? s.iat(a) : dummyatom;
        const std::string_view symbol = defatnam(z);
        // The first atom keeps its 2-character symbol ("C "), the others are trimmed:
        // "O", then " p1 Rk*", " p2 Ak*", " p3 Dk*" as far as the atom has partners.
        if (k == 1) {
            out.line(symbol);
            continue;
        }
        std::string line(trimright(symbol));
        if (k == 2) {
            // The second atom can only be placed against the first, whatever the table holds.
            line += " 1 R1";
            line += mark;
            out.line(line);
            continue;
        }
        for (int j = 1; j <= std::min(k - 1, 3); ++j) {
            line += ' ';
            line += partner(s, s.kmatrx(j, a));
            line += ' ';
            line += zmatvariable(kinds[j - 1], k);
            line += mark;
        }
        out.line(line);
    }
}
