// XYZ trajectory of the geometry sequence: one frame per geometry within RANGE, walked first to
// last or, with IDOFTL 0, last to first. The frames only read the store, so two threads make
// them.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void writemovxyz(Store& s, OutputFile& out) {
    const std::vector<long long> frames = trajectoryframes(s);
    auto frame = [&](std::size_t k, std::string& text, bool) {
        const long long g = frames[k];
        text.reserve(57 * std::size_t(s.nat) + 48);
        // cols 1 blank | 2-21 nat I20
        text += ' ';
        fw::I(text, s.nat, 20);
        text += "\n XYZ file written by KRU\n";
        for (int p = 1; p <= s.nat; ++p) {
            const int a = s.iorder(p, 2);
            // cols 1-2 symbol | 3-4 blanks | 5-20 x F16.8 | 21-22 | 23-38 y | 39-40 | 41-56 z
            text += atomsymbol(s.iat(a));
            for (int c = 1; c <= 3; ++c) {
                text += "  ";
                fw::F(text, s.xgeo(c, a, g) * angstrom_per_bohr, 16, 8);
            }
            text += '\n';
        }
        return true;
    };
    const bool twothreads = static_cast<long long>(frames.size()) * s.nat >= threadedrecords;
    writeframesinorder(out, frames.size(), twothreads, FrameWrites::whole, frame);
}
