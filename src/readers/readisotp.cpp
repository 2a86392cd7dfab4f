// Reads the isotope file: each line holds atom numbers and new masses, paired by their
// position among the line's integers and among its reals.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <cmath>
#include <ostream>

void readisotp(Store& s, InputFile& in) {
    s.nisotp = 0;
    std::string_view line;
    while (in.getline(line)) {
        const FreeRead f = freerd(line);
        if (f.nfndi == 0 || f.nfndr != f.nfndi) {
            continue;
        }
        for (int l = 1; l <= f.nfndi; ++l) {
            const long long atom = f.fndintegers(l);
            const double mass = f.fndreals(l);
            // Atoms the molecule does not have are reported and left out, so the isotope
            // recomputation never meets them.
            if (atom > s.nat) {
                s.log() << " Warning, isotp number > NAT\n";
                continue;
            }
            if (atom < 1) {
                s.log() << " Warning, isotp number < 1\n";
                continue;
            }
            // The list has room for one entry per atom.
            if (s.nisotp >= s.nat) {
                continue;
            }
            const int n = ++s.nisotp;
            s.iisotp(n) = int(atom);
            s.risotp(n) = mass;
            const double standard = defatmass(s.iat(int(atom)));
            if (std::abs(mass - standard) > 2000.0) {
                s.log() << "Are you sure?\n"
                        << "isotp file \"" << s.isotpfile << "\" line: " << trimright(line) << '\n'
                        << "Atom " << fw::I(atom, 4) << " is with mass  " << fw::F(standard, 12, 3)
                        << '\n'
                        << "You want to change it to " << fw::F(mass, 12, 3) << '\n';
            }
        }
    }
}
