// ADF atoms block in Z-matrix form, atoms in output order, to be pasted into a job input.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

void writeadfz(Store& s, OutputFile& out) {
    out.line("Atoms Z-Matrix");
    for (int i = 1; i <= s.nat; ++i) {
        const int a = s.iorder(i, 2);
        // After the partners (cols 1-23): 2 blanks, then as far as the atom has partners
        // | 2 blanks, distance (Angstrom) F12.6 | 2 blanks, angle (degrees) F12.6 | dihedral.
        // The first atom's line ends after its partners.
        std::string line = adfzmatline(s, i);
        const int nvalues = std::min(i - 1, 3);
        if (nvalues > 0) {
            line += "  ";
        }
        for (int k = 1; k <= nvalues; ++k) {
            line += "  ";
            fw::F(line, s.zmat(k, a) * (k == 1 ? angstrom_per_bohr : degrees_per_radian), 12, 6);
        }
        out.line(line);
    }
    out.line("End");
}
