// PDB file of the molecule: HETATM records in output order, then CONECT records in store order.
// No END record.
#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

void writepdb(Store& s, OutputFile& out) {
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        pdbhetatm(s, out, a, point(s.xyz, a));
    }
    pdbconect(s, out);
}
