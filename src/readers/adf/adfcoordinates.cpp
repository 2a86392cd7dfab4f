// Reads a coordinate table of an ADF-style output into xyztmp: some header lines, then one line
// per atom whose first three reals are x, y and z.
#include "control/files.h"
#include "control/freeread.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

int adfcoordinates(Store& s, InputFile& in, int skip, double unitsperbohr) {
    std::string_view line;
    for (int k = 1; k <= skip; ++k) {
        if (!in.getline(line)) {
            return 1;
        }
    }
    for (int a = 1; a <= s.nat; ++a) {
        if (!in.getline(line)) {
            return 2;
        }
        const FreeRead f = freerd(line, 3);
        for (int k = 1; k <= 3; ++k) {
            // Divided, not multiplied by the inverse, so Bohr values pass unchanged and Angstrom
            // values convert as everywhere else.
            s.xyztmp(k, a) = f.fndreals(k) / unitsperbohr;
        }
    }
    return 0;
}
