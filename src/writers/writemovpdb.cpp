// Multi-model PDB file of the geometry sequence: one MODEL block per geometry within RANGE,
// walked first to last or, with IDOFTL 0, last to first. Each model's bonds come from its own
// geometry, and the last geometry written stays in xyz with its connectivity, for the
// distortion writer that runs next.
#include "analysis/analysis.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writemovpdb(Store& s, OutputFile& out) {
    const std::vector<long long> frames = trajectoryframes(s);
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const long long g = frames[k];
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
        make_iconn(s, k + 1 == frames.size());
        pdbconect(s, out);
        out.line("ENDMDL");
    }
}
