// SD file of the geometry sequence: one molfile record per geometry within RANGE (walked as
// IDOFTL says), its bonds from that geometry's own connectivity with orders that complete the
// usual valences, every atom's valence given so that no reader adds hydrogens, and the energy as
// a data field. Up to 999 atoms and bonds a record is a V2000 table, beyond that V3000. The
// final structure and its connectivity are back in place afterwards, for the distortion step.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/atominfo.h"
#include "store/store.h"
#include "writers/writers.h"

#include <cstdio>
#include <vector>

namespace {

// A dummy or ghost position is the molfile's "*" atom, which readers take without an element.
std::string symbolof(const Store& s, int a) {
    const int z = s.iat(a);
    if (z < 1 || z > nelements || z == dummyatom) {
        return "*";
    }
    return std::string(trimright(trimleft(atomsymbol(z))));
}

std::string number(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.4f", x);
    return text;
}

void writev2000(const Store& s, OutputFile& out, const std::vector<Bond>& bonds,
                const std::vector<int>& valence) {
    // aaa bbb, then the unused counts, "999", the version
    std::string counts;
    fw::I(counts, s.nat, 3);
    fw::I(counts, static_cast<long long>(bonds.size()), 3);
    out.line(counts + "  0  0  0  0  0  0  0  0999 V2000");
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        // x y z F10.4 | blank | symbol left in 3 | dd I2 ccc sss hhh bbb I3 | valence I3 | six I3
        // zeros
        std::string line;
        for (int k = 1; k <= 3; ++k) {
            fw::F(line, s.xyz(k, a) * angstrom_per_bohr, 10, 4);
        }
        line += ' ';
        line += padright(symbolof(s, a), 3);
        line += " 0  0  0  0  0";
        fw::I(line, valence[std::size_t(a)] > 0 ? valence[std::size_t(a)] : 15, 3);
        line += "  0  0  0  0  0  0";
        out.line(line);
    }
    for (const Bond& b : bonds) {
        std::string line;
        fw::I(line, s.iorder(b.a, 1), 3);
        fw::I(line, s.iorder(b.b, 1), 3);
        fw::I(line, b.order, 3);
        line += "  0";
        out.line(line);
    }
}

void writev3000(const Store& s, OutputFile& out, const std::vector<Bond>& bonds,
                const std::vector<int>& valence) {
    out.line("  0  0  0     0  0            999 V3000");
    out.line("M  V30 BEGIN CTAB");
    out.line("M  V30 COUNTS " + std::to_string(s.nat) + " " + std::to_string(bonds.size()) +
             " 0 0 0");
    out.line("M  V30 BEGIN ATOM");
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        // A valence of -1 says "none" in this version.
        const int v = valence[std::size_t(a)] > 0 ? valence[std::size_t(a)] : -1;
        out.line("M  V30 " + std::to_string(p) + " " + symbolof(s, a) + " " +
                 number(s.xyz(1, a) * angstrom_per_bohr) + " " +
                 number(s.xyz(2, a) * angstrom_per_bohr) + " " +
                 number(s.xyz(3, a) * angstrom_per_bohr) + " 0 VAL=" + std::to_string(v));
    }
    out.line("M  V30 END ATOM");
    if (!bonds.empty()) {
        out.line("M  V30 BEGIN BOND");
        for (std::size_t i = 0; i < bonds.size(); ++i) {
            const Bond& b = bonds[i];
            out.line("M  V30 " + std::to_string(i + 1) + " " + std::to_string(b.order) + " " +
                     std::to_string(s.iorder(b.a, 1)) + " " + std::to_string(s.iorder(b.b, 1)));
        }
        out.line("M  V30 END BOND");
    }
    out.line("M  V30 END CTAB");
}

void writerecord(const Store& s, OutputFile& out, long long g) {
    const std::vector<Bond> bonds = bondorders(s);
    std::vector<int> valence(std::size_t(s.nat) + 1, 0);
    for (const Bond& b : bonds) {
        valence[std::size_t(b.a)] += b.order;
        valence[std::size_t(b.b)] += b.order;
    }
    // The name line, the program line with its "3D" in columns 21-22, a comment line.
    std::string name(trimright(s.inputfile));
    if (name.size() > 80) {
        name.resize(80);
    }
    out.line(name);
    out.line("  KRU               3D");
    out.line("geometry " + std::to_string(g) + " of " + std::to_string(s.ngeom));
    if (s.nat > 999 || bonds.size() > 999) {
        writev3000(s, out, bonds, valence);
    } else {
        writev2000(s, out, bonds, valence);
    }
    out.line("M  END");
    out.line("> <ENERGY_HARTREE>");
    char energy[40];
    std::snprintf(energy, sizeof energy, "%.10f", s.egeo(g));
    out.line(energy);
    out.line("");
    out.line("$$$$");
}

} // namespace

void writesdf(Store& s, OutputFile& out) {
    Table2<double> final;
    final.allocate(Extent{1, 3}, Extent{1, s.nat}, 0.0);
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            final(k, a) = s.xyz(k, a);
        }
    }
    for (const long long g : trajectoryframes(s)) {
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = s.xgeo(k, a, g);
            }
        }
        make_iconn(s, false);
        writerecord(s, out, g);
    }
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xyz(k, a) = final(k, a);
        }
    }
    // As the arrangement step left it: no writer after this one reads the near lists.
    make_iconn(s, false);
}
