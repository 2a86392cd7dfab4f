// Multi-model PDB file of the geometry sequence: one MODEL block per geometry within RANGE,
// walked first to last or, with IDOFTL 0, last to first. Each model's bonds come from its own
// geometry, and the last geometry written stays in xyz with its connectivity, for the
// distortion writer that runs next.
#include "analysis/analysis.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

void writemovpdb(Store& s, OutputFile& out) {
    const long long ngeom = s.ngeom;
    // A negative first geometry would walk outside the sequence; the range starts at 1 at least.
    const long long first = s.idrange[0] != 0 ? std::max(1LL, std::min(s.idrange[0], ngeom)) : 1;
    const long long last = s.idrange[1] != 0 ? std::min(s.idrange[1], ngeom) : ngeom;

    for (long long k = first; k <= last; ++k) {
        const long long g = s.idoftl == 1 ? k : ngeom - k + 1;

        // cols 1-6 "MODEL " | 7-12 model number I6
        std::string head("MODEL ");
        fw::I(head, s.modelstart + g, 6);
        out.line(head);

        for (int p = 1; p <= s.nat; ++p) {
            const int a = s.iorder(p, 2);
            pdbhetatm(s, out, a, {s.xgeo(1, a, g), s.xgeo(2, a, g), s.xgeo(3, a, g)});
        }
        for (int a = 1; a <= s.nat; ++a) {
            for (int c = 1; c <= 3; ++c) {
                s.xyz(c, a) = s.xgeo(c, a, g);
            }
        }
        // Only the last model's non-bonded lists outlive the writer; the others are not read.
        make_iconn(s, k == last);
        pdbconect(s, out);
        out.line("ENDMDL");
    }
}
