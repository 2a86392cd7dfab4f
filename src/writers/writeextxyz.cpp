// Extended XYZ trajectory of the geometry sequence (RANGE and IDOFTL as for the XYZ trajectory):
// each frame's comment line carries its energy in eV and says the structure is not periodic,
// so that scripting tools read an energy per frame.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/atominfo.h"
#include "store/store.h"
#include "writers/writers.h"

#include <cstdio>

void writeextxyz(Store& s, OutputFile& out) {
    for (const long long g : trajectoryframes(s)) {
        out.line(std::to_string(s.nat));
        // Enough digits that the eV value gives back the Hartree energy to 1e-10.
        char energy[40];
        std::snprintf(energy, sizeof energy, "%.8f", s.egeo(g) * ev_per_hartree);
        out.line(std::string("Properties=species:S:1:pos:R:3 energy=") + energy + " pbc=\"F F F\"");
        for (int p = 1; p <= s.nat; ++p) {
            const int a = s.iorder(p, 2);
            // symbol in 2 columns | 3 x (2 blanks, F16.8)
            // ASE names a dummy atom "X".
            const int z = s.iat(a);
            const bool dummy = z < 1 || z > nelements || z == dummyatom;
            std::string line = padright(dummy ? "X" : trimright(trimleft(atomsymbol(z))), 2);
            for (int c = 1; c <= 3; ++c) {
                line += "  ";
                fw::F(line, s.xgeo(c, a, g) * angstrom_per_bohr, 16, 8);
            }
            out.line(line);
        }
    }
}
