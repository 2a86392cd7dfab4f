// MOPAC input in Cartesian coordinates (Angstrom), every coordinate flagged for optimisation.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writedat(Store& s, OutputFile& out) {
    writemopachead(s, out);
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        // cols 1-2 symbol | 3-6 blanks | 7-18 x F12.8 | 19-20 " 1" | 21-22 | 23-34 y | 35-36 " 1"
        //      | 37-38 | 39-50 z | 51-52 " 1"
        std::string line(atomsymbol(s.iat(a)));
        line += "  ";
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, s.xyz(k, a) * angstrom_per_bohr, 12, 8);
            line += " 1";
        }
        out.line(line);
    }
}
