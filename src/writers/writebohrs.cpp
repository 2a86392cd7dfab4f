// Bare Bohr atom list without header: symbol and coordinates in Bohr, in output order.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writebohrs(Store& s, OutputFile& out) {
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        // cols 1-2 symbol | 3-6 blanks | 7-18 x F12.8 | 19-20 | 21-32 y | 33-34 | 35-46 z
        std::string line(atomsymbol(s.iat(a)));
        line += "  ";
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, s.xyz(k, a), 12, 8);
        }
        out.line(line);
    }
}
