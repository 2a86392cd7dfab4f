// MOPAC input as a Z-matrix: distance, angle and dihedral of each atom with their optimisation
// flags, and the reference atoms renumbered to the output order.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

void writedatz(Store& s, OutputFile& out) {
    writemopachead(s, out);
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        // The first three atoms have fewer internal coordinates than three; the missing ones are
        // written as fixed zeros and their references as 0.
        const int given = std::min(p - 1, 3);
        const double value[3] = {s.zmat(1, a) * angstrom_per_bohr,
                                 s.zmat(2, a) * degrees_per_radian,
                                 s.zmat(3, a) * degrees_per_radian};

        // cols 1-2 symbol | 3-4 blanks | 5-16 distance F12.8 | 17-18 flag | 19-20 | 21-32 angle
        //      | 33-34 flag | 35-36 | 37-48 dihedral | 49-50 flag | 51-52 blanks
        //      | 53-57, 58-62, 63-67 references I5
        std::string line(atomsymbol(s.iat(a)));
        for (int k = 0; k < 3; ++k) {
            line += "  ";
            if (k < given) {
                fw::F(line, value[k], 12, 8);
                line += " 1";
            } else {
                line += "  0.00000000 0";
            }
        }
        line += "  ";
        for (int k = 0; k < 3; ++k) {
            long long ref = k < given ? s.kmatrx(k + 1, a) : 0;
            // A reference to an atom of the molecule points to where that atom is written; one
            // outside the molecule (a K-matrix file is not checked) has no position and is
            // written as it is.
            if (ref >= 1 && ref <= s.nat) {
                ref = s.iorder(ref, 1);
            }
            fw::I(line, ref, 5);
        }
        out.line(line);
    }
}
