// Bare Angstrom atom list without header: a 10-column label and the coordinates, in output order.
// The label carries the "J." or "Gh." prefix of special and ghost atoms.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writeangs(Store& s, OutputFile& out) {
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        std::string prefix;
        if (s.idesp(a) == 1) {
            prefix = "J.";
        } else if (s.idesp(a) == 2) {
            prefix = "Gh.";
        } else if (s.idesp(a) != 0) {
            continue; // no known way to write such an atom
        }
        // A label is written from its first column and cut at 10; a bare symbol stands
        // right-aligned in the 10 columns.
        const bool blank = len_trim(s.atdescr(a)) == 0;
        const std::string label = blank ? fw::A(prefix + std::string(atomsymbol(s.iat(a))), 10)
                                        : fixedtext(prefix + s.atdescr(a), 10);

        // cols 1-10 label | 11-14 blanks | 15-26 x F12.8 | 27-28 | 29-40 y | 41-42 | 43-54 z
        std::string line = label + "  ";
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, s.xyz(k, a) * angstrom_per_bohr, 12, 8);
        }
        out.line(line);
    }
}
