// The atom lines of a linear-transit point's coordinate files, from the scratch geometry xyztmp:
// the upper-case symbol and the coordinates in Angstrom.
#include "control/fixedwidth.h"
#include "readers/adf/adfreaders.h"
#include "store/atominfo.h"
#include "store/store.h"

std::vector<std::string> ltatomlines(const Store& s) {
    std::vector<std::string> atoms;
    for (int a = 1; a <= s.nat; ++a) {
        // cols 1-2 symbol | 3-4 blanks | 5-6 | 7-16 x F10.6 | 17-18 | 19-28 y | 29-30 | 31-40 z
        std::string line(defatnam(s.iat(a)));
        line += "  ";
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, s.xyztmp(k, a) * angstrom_per_bohr, 10, 6);
        }
        atoms.push_back(line);
    }
    return atoms;
}
