// Normal-mode animations as multi-model PDB files, one file per mode: the modes inside the FRQR
// frequency window, or the first MXVIBS modes, each divided by the square root of its atoms'
// masses.
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

namespace {

void pdbframe(const Store& s, OutputFile& out, int /*mode*/, int frame,
              const Table2<double>& angstrom) {
    // cols 1-6 "MODEL " | 7-10 frame I4
    std::string model("MODEL ");
    fw::I(model, frame, 4);
    out.line(model);
    for (int l = 1; l <= s.nat; ++l) {
        const int m = s.iorder(l, 2);
        const std::string_view symbol = atomsymbol(s.iat(m));
        // cols 1-6 "ATOM  " | 7-11 store atom I5 | 12-13 blanks | 14-15 symbol | 16-17 blanks |
        // 18-20 "PDB" | 21-25 blanks | 26 "1" | 27-30 blanks | 31-54 x, y, z F8.3 |
        // 55-76 blanks | 77-78 symbol
        std::string line("ATOM  ");
        fw::I(line, m, 5);
        line += "  ";
        line += symbol;
        line += "  PDB     1    ";
        for (int k = 1; k <= 3; ++k) {
            fw::F(line, angstrom(k, m), 8, 3);
        }
        line += std::string(22, ' ');
        line += symbol;
        out.line(line);
    }
    out.line("TER");
    out.line("ENDMDL");
}

} // namespace

void writefrqpdb(Store& s, OutputFile& out) {
    writeanimation(s, out, {".pdb", true, true, &pdbframe, "writefrqpdb"});
}
