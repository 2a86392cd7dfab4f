// The atom lines of the ORCA and Gaussian inputs: symbol and Angstrom coordinates, output order.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writeinputatoms(const Store& s, OutputFile& out, const Table2<double>& bohr) {
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        // symbol in 2 columns | 3 x (2 blanks, F14.8)
        std::string line = padright(trimright(trimleft(atomsymbol(s.iat(a)))), 2);
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, bohr(k, a) * angstrom_per_bohr, 14, 8);
        }
        out.line(line);
    }
}
