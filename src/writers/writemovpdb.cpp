// Multi-model PDB file of the geometry sequence: one MODEL block per geometry within RANGE,
// walked first to last or, with IDOFTL 0, last to first. Each model's bonds come from its own
// geometry, and the last geometry written stays in xyz with its connectivity, for the
// distortion writer that runs next.
#include "analysis/analysis.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

#include <sstream>

namespace {

// One MODEL block: the records of geometry g, its bonds found in `bonds` (whose coordinates
// become those of g), which keeps its near lists only when asked.
void writemodel(const Store& s, Store& bonds, std::string& text, long long g, bool nearlists) {
    // Room for the records and a CONECT record of two partners per atom.
    text.reserve(110 * std::size_t(s.nat) + 32);
    // cols 1-6 "MODEL " | 7-12 model number I6
    text += "MODEL ";
    fw::I(text, s.modelstart + g, 6);
    text += '\n';

    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        pdbhetatm(s, text, a, {s.xgeo(1, a, g), s.xgeo(2, a, g), s.xgeo(3, a, g)});
    }
    for (int a = 1; a <= s.nat; ++a) {
        for (int c = 1; c <= 3; ++c) {
            bonds.xyz(c, a) = s.xgeo(c, a, g);
        }
    }
    make_iconn(bonds, nearlists);
    pdbconect(bonds, text, 1, bonds.nat);
    text += "ENDMDL\n";
}

// What the connectivity of one model needs, apart from the store: the elements, coordinates
// and lists of its own, and a log of its own, which nobody reads (a model that fails is made
// again in the store itself, where the failure is reported).
struct BondStore {
    std::ostringstream unread;
    Store s;
    explicit BondStore(const Store& from) : s(RunContext(unread, unread)) {
        const Extent atoms{1, from.nat};
        s.nat = from.nat;
        s.iat.allocate(atoms);
        for (int a = 1; a <= from.nat; ++a) {
            s.iat(a) = from.iat(a);
        }
        s.xyz.allocate(Extent{1, 3}, atoms);
        s.iconn.allocate(Extent{0, maxconn}, atoms);
        s.rconn.allocate(Extent{1, maxconn}, atoms);
        s.inear.allocate(Extent{0, maxnear}, atoms);
        s.rnear.allocate(Extent{1, maxnear}, atoms);
    }
};

} // namespace

void writemovpdb(Store& s, OutputFile& out) {
    const std::vector<long long> frames = trajectoryframes(s);
    // All models but the last are made two at a time in stores of their own; the last, and any
    // model from the first that failed on, in the store, as one thread would make them.
    std::size_t k = 0;
    if (frames.size() > 2) {
        BondStore mine(s), helpers(s);
        const bool twothreads = static_cast<long long>(frames.size()) * s.nat >= threadedrecords;
        k = writeframesinorder(out, frames.size() - 1, twothreads, FrameWrites::linebyline,
                               [&](std::size_t m, std::string& text, bool helper) {
                                   writemodel(s, helper ? helpers.s : mine.s, text, frames[m],
                                              false);
                                   return true;
                               });
    }
    for (; k < frames.size(); ++k) {
        // The records made before a failure are written as one thread would have written them.
        std::string text;
        try {
            writemodel(s, s, text, frames[k], k + 1 == frames.size());
        } catch (...) {
            writelines(out, text);
            throw;
        }
        writelines(out, text);
    }
}
