// XYZ trajectory of the geometry sequence: one frame per geometry within RANGE, walked first to
// last or, with IDOFTL 0, last to first.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

void writemovxyz(Store& s, OutputFile& out) {
    const long long ngeom = s.ngeom;
    // A negative first geometry would walk outside the sequence; the range starts at 1 at least.
    const long long first = s.idrange[0] != 0 ? std::max(1LL, std::min(s.idrange[0], ngeom)) : 1;
    const long long last = s.idrange[1] != 0 ? std::min(s.idrange[1], ngeom) : ngeom;

    for (long long k = first; k <= last; ++k) {
        const long long g = s.idoftl == 1 ? k : ngeom - k + 1;

        // cols 1 blank | 2-21 nat I20
        std::string head(" ");
        fw::I(head, s.nat, 20);
        out.line(head);
        out.line(" XYZ file written by KRU");

        for (int p = 1; p <= s.nat; ++p) {
            const int a = s.iorder(p, 2);
            // cols 1-2 symbol | 3-4 blanks | 5-20 x F16.8 | 21-22 | 23-38 y | 39-40 | 41-56 z
            std::string line(atomsymbol(s.iat(a)));
            for (int c = 1; c <= 3; ++c) {
                line += "  ";
                fw::F(line, s.xgeo(c, a, g) * angstrom_per_bohr, 16, 8);
            }
            out.line(line);
        }
    }
}
