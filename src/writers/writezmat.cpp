// Z-matrix with variables marked "*" and their values to 10 decimals, all distances first, then
// all angles, then all dihedrals.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writezmat(Store& s, OutputFile& out) {
    writezmatatoms(s, out, true);
    out.line("");
    constexpr char kinds[3] = {'R', 'A', 'D'};
    // Kind j (distance, angle, dihedral) exists from position j + 1 on. Each value is an F20.10
    // field with its leading blanks removed: "R1=0.9572000000", or 20 asterisks when too large.
    for (int j = 1; j <= 3; ++j) {
        const double unit = j == 1 ? angstrom_per_bohr : degrees_per_radian;
        for (int k = j + 1; k <= s.nat; ++k) {
            const int a = s.iorder(k, 2);
            const std::string field = fw::F(s.zmat(j, a) * unit, 20, 10);
            out.line(zmatvariable(kinds[j - 1], k) + "=" + std::string(trimleft(field)));
        }
    }
    out.line("");
}
