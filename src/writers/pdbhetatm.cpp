// The HETATM record both PDB writers give every atom: its store number, label, residue name and
// number, coordinates in Angstrom and element symbol, 78 columns.
#include "control/control.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

void pdbhetatm(const Store& s, std::string& text, int a, const std::array<double, 3>& bohr) {
    // cols 1-6 "HETATM" | 7-11 atom I5 | 12 blank | 13-16 label | 17 blank | 18-20 residue |
    // 21-22 blanks (chain left blank) | 23-26 residue number I4 | 27-30 blanks |
    // 31-54 x, y, z F8.3 | 55-60 occupancy F6.2 | 61-66 temperature factor F6.2 |
    // 67-76 blanks | 77-78 element symbol
    text += "HETATM";
    fw::I(text, a, 5);
    text += ' ';
    text += fixedtext(s.atdescr(a), 4);
    text += ' ';
    text += fixedtext(s.moldescr(a), 3);
    text += "  ";
    fw::I(text, s.iatmol(a), 4);
    text += "    ";
    for (const double c : bohr) {
        fw::F(text, c * angstrom_per_bohr, 8, 3);
    }
    // Occupancy 1.0 and temperature factor 0.0 in F6.2, then the blanks.
    text += "  1.00  0.00          ";
    text += atomsymbol(s.iat(a));
    text += '\n';
}
