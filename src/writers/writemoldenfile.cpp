// The Molden file both Molden writers write: atoms in Bohr, the normal modes with frequencies
// and intensities (and the vibration-weights side file), and the geometry sequence with energies.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/store.h"
#include "writers/writers.h"

namespace {

void atoms(Store& s, OutputFile& out) {
    out.line("[Molden Format]");
    out.line("[Atoms] AU");
    for (int p = 1; p <= s.nat; ++p) {
        const int c = s.iorder(p, 2);
        // col 1 blank | 2-3 symbol | 5-9 store atom | 11-15 element | 18-27 x | 30-39 y | 42-51 z
        std::string line(" ");
        line += atomsymbol(s.iat(c));
        line += ' ';
        fw::I(line, c, 5);
        line += ' ';
        fw::I(line, s.iat(c), 5);
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, s.xyz(k, c), 10, 6);
        }
        out.line(line);
    }
}

void vibrations(Store& s, OutputFile& out) {
    out.line("[FREQ]");
    for (int m = 1; m <= s.nvib; ++m) {
        out.line(fw::F(s.vibs(m), 10, 3));
    }

    out.line("[FR-COORD]");
    for (int p = 1; p <= s.nat; ++p) {
        const int c = s.iorder(p, 2);
        // col 1 blank | 2-3 symbol | 6-15 x | 18-27 y | 30-39 z
        std::string line(" ");
        line += atomsymbol(s.iat(c));
        for (int k = 1; k <= 3; ++k) {
            line += "  ";
            fw::F(line, s.xyz(k, c), 10, 6);
        }
        out.line(line);
    }

    out.line("[FR-NORM-COORD]");
    for (int m = 1; m <= s.nvib; ++m) {
        std::string head("vibration ");
        fw::I(head, m, 4);
        out.line(head);
        for (int p = 1; p <= s.nat; ++p) {
            const int c = s.iorder(p, 2);
            // cols 3-12 x | 15-24 y | 27-36 z
            std::string line;
            for (int k = 1; k <= 3; ++k) {
                line += "  ";
                fw::F(line, s.vibvec(k, c, m), 10, 6);
            }
            out.line(line);
        }
    }

    out.line("[INT]");
    for (int m = 1; m <= s.nvib; ++m) {
        out.line(fw::F(s.frqintns(m), 10, 3));
    }
}

void geometries(Store& s, OutputFile& out, bool lasttofirst) {
    const int n = s.ngeom;
    auto geometry = [&](int k) { return lasttofirst ? n - k + 1 : k; };

    out.line("[GEOCONV]");
    out.line("energy");
    for (int k = 1; k <= n; ++k) {
        std::string line(" ");
        fw::F(line, s.egeo(geometry(k)), 15, 8);
        out.line(line);
    }

    out.line("[GEOMETRIES] XYZ");
    // Every frame carries the run's one energy; the per-geometry energies are in [GEOCONV].
    std::string title = s.inputfile;
    fw::F(title, s.energy, 15, 6);
    for (int k = 1; k <= n; ++k) {
        const int g = geometry(k);
        out.line(fw::I(s.nat, 4));
        out.line(title);
        for (int p = 1; p <= s.nat; ++p) {
            const int c = s.iorder(p, 2);
            // cols 1-2 symbol | 7-16 x | 19-28 y | 31-40 z (Angstrom)
            std::string line(atomsymbol(s.iat(c)));
            line += "  ";
            for (int k3 = 1; k3 <= 3; ++k3) {
                line += "  ";
                fw::F(line, s.xgeo(k3, c, g) * angstrom_per_bohr, 10, 6);
            }
            out.line(line);
        }
    }
}

} // namespace

void writemoldenfile(Store& s, OutputFile& out, bool lasttofirst, std::string_view routine) {
    atoms(s, out);
    if (s.nvib > 0) {
        vibrations(s, out);
        writevibweights(s, routine);
    }
    if (s.ngeom >= 2) {
        geometries(s, out, lasttofirst);
    }
}
