// PDB file of the molecule: HETATM records in output order, then CONECT records in store order.
// No END record. A large molecule's records are made in blocks, in two threads.
#include "control/files.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>

void writepdb(Store& s, OutputFile& out) {
    constexpr int block = 8192;
    const int blocks = (s.nat + block - 1) / block;
    auto write = [&](std::size_t k, std::string& text, bool) {
        const int b = int(k) % std::max(blocks, 1);
        const int first = b * block + 1;
        const int last = std::min(s.nat, first + block - 1);
        if (int(k) < blocks) {
            text.reserve(79 * std::size_t(last - first + 1));
            for (int p = first; p <= last; ++p) {
                const int a = s.iorder(p, 2);
                pdbhetatm(s, text, a, point(s.xyz, a));
            }
        } else {
            pdbconect(s, text, first, last);
        }
        return true;
    };
    writeframesinorder(out, std::size_t(2 * blocks), s.nat >= threadedrecords, FrameWrites::whole,
                       write);
}
