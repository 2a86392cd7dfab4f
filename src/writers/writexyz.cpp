// XYZ file: the atom count, a title with the input file name and the energy in kcal/mol, then
// one line per atom in output order with Angstrom coordinates.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writexyz(Store& s, OutputFile& out) {
    out.line(fw::I(s.nat, 4));

    // title: input file name without trailing blanks, 3 blanks, energy (kcal/mol) F15.4
    std::string title = s.inputfile;
    title += "   ";
    fw::F(title, s.energy * kcal_per_hartree, 15, 4);
    out.line(title);

    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        // cols 1-2 symbol | 3-6 blanks | 7-16 x F10.6 | 17-18 | 19-28 y | 29-30 | 31-40 z
        std::string line(atomsymbol(s.iat(a)));
        line += "  ";
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, s.xyz(k, a) * angstrom_per_bohr, 10, 6);
        }
        out.line(line);
    }
}
