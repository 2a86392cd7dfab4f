// Normal-mode animations as multi-frame coordinate files, one file per mode for the first MXVIBS
// modes, each multiplied by the square root of its atoms' masses.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

namespace {

void amvframe(const Store& s, OutputFile& out, int mode, int /*frame*/,
              const Table2<double>& angstrom) {
    // cols 1-5 "mode " | 6-10 mode I5 | 11-22 " Frequency: " | 23-30 frequency F8.0 |
    // 31-64 fixed text (the stored intensity is not used)
    std::string head("mode ");
    fw::I(head, mode, 5);
    head += " Frequency: ";
    fw::F(head, s.vibs(mode), 8, 0);
    head += " 1/cm, IR intensity:  0.00 km/mole";
    out.line(head);
    for (int l = 1; l <= s.nat; ++l) {
        const int m = s.iorder(l, 2);
        // cols 1-2 symbol | 3-4 blanks | 3 x (2 blanks, F10.6)
        std::string line(atomsymbol(s.iat(m)));
        line += "  ";
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, angstrom(k, m), 10, 6);
        }
        out.line(line);
    }
    out.line("");
}

} // namespace

void writeamv(Store& s, OutputFile& out) {
    writeanimation(s, out, {".amv", false, false, &amvframe, "writeamv"});
}
