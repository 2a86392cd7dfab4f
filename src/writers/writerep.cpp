// Structure report: composition and total mass, the four-coordination index of every atom with
// four bonds, each atom's bonded and nearest non-bonded neighbours with distances, and every bond
// angle once.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "store/atominfo.h"
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>
#include <string>

namespace {

const std::string dashes(105, '-');
const std::string equals(105, '=');

// "H22.C12.O11": elements in table order, every count in full, cut to 100 characters.
std::string composition(const Store& s) {
    std::string text;
    for (int z = 1; z <= nelements; ++z) {
        if (s.idatdef[std::size_t(z)] > 0) {
            if (!text.empty()) {
                text += '.';
            }
            text += trimright(defatnamlow(z));
            text += getsuffix(s.idatdef[std::size_t(z)]);
        }
    }
    if (text.size() > 100) {
        text.resize(100);
    }
    return text;
}

// cols 1-4 "conn" or "near" | 5 blank | 6-7 symbol | 8 blank | 9-12 atom, left-aligned | 13 blank
//      | 14 ":" | 15 blank
// An atom number of five digits does not fit its slot and shows as asterisks, as every number
// that does not fit its field does.
std::string prefix(const Store& s, std::string_view kind, int a) {
    std::string p(kind);
    p += ' ';
    p += atomsymbol(s.iat(a));
    p += ' ';
    p += a <= 9999 ? fixedtext(getsuffix(a), 4) : std::string(4, '*');
    p += " : ";
    return p;
}

// One neighbour: 2 blanks | symbol | atom I4 | distance in Angstrom F10.5 (18 characters).
void entry(std::string& line, const Store& s, int b, double bohr) {
    line += "  ";
    line += atomsymbol(s.iat(b));
    fw::I(line, b, 4);
    fw::F(line, bohr * angstrom_per_bohr, 10, 5);
}

// Entries first..last of a neighbour list on one line after the prefix.
void neighbourline(OutputFile& out, const Store& s, const std::string& head, int a, int first,
                   int last, const Table2<int>& atoms, const Table2<double>& dists) {
    std::string line = head;
    for (int k = first; k <= last; ++k) {
        entry(line, s, atoms(k, a), dists(k, a));
    }
    out.line(line);
}

void bonds(const Store& s, OutputFile& out, int a) {
    // Five partners to a line; an atom without partners still gets its prefix line.
    constexpr int perline = 5;
    const std::string conn = prefix(s, "conn", a);
    const int n = s.iconn(0, a);
    for (int j = 0; j <= (n - 1) / perline; ++j) {
        neighbourline(out, s, conn, a, perline * j + 1, std::min(perline * j + perline, n), s.iconn,
                      s.rconn);
    }
    out.line(dashes);

    // Only the 15 nearest of the up to 20 stored non-bonded atoms are reported.
    const std::string near = prefix(s, "near", a);
    const int m = s.inear(0, a);
    neighbourline(out, s, near, a, 1, std::min(5, m), s.inear, s.rnear);
    if (m > 5) {
        neighbourline(out, s, near, a, 6, std::min(10, m), s.inear, s.rnear);
    }
    if (m > 10) {
        neighbourline(out, s, near, a, 11, std::min(15, m), s.inear, s.rnear);
    }
    out.line(equals);
}

// An angle a-b-c is reported from the end with the lower element number, or the lower atom
// number between equal elements, so each appears once.
bool reportedfrom(const Store& s, int a, int c) {
    return s.iat(a) < s.iat(c) || (s.iat(a) == s.iat(c) && a < c);
}

// cols 1-4 "ANG " | for a, b, c: symbol, 1 blank, atom I5, 2 blanks (10 each) | 35-44 angle F10.5
void angles(const Store& s, OutputFile& out, int a) {
    for (int j = 1; j <= s.iconn(0, a); ++j) {
        const int b = s.iconn(j, a);
        for (int k = 1; k <= s.iconn(0, b); ++k) {
            const int c = s.iconn(k, b);
            if (c == a || !reportedfrom(s, a, c)) {
                continue;
            }
            std::string line("ANG ");
            for (const int atom : {a, b, c}) {
                line += atomsymbol(s.iat(atom));
                line += ' ';
                fw::I(line, atom, 5);
                line += "  ";
            }
            const double theta = angle(point(s.xyz, a), point(s.xyz, b), point(s.xyz, c));
            fw::F(line, theta / radians_per_degree, 10, 5);
            out.line(line);
        }
    }
}

} // namespace

void writerep(Store& s, OutputFile& out) {
    out.line("");
    out.line("Total system: " + composition(s));

    double mass = 0.0;
    for (int a = 1; a <= s.nat; ++a) {
        if (s.iat(a) >= 1 && s.iat(a) <= nelements) {
            mass += defatmass(s.iat(a));
        }
    }
    // F18.6 moved to the left in a 39-character field.
    out.line("Total mass  : " + fixedtext(trimleft(fw::F(mass, 18, 6)), 39));
    out.line("");

    bool fourfold = false;
    for (int a = 1; a <= s.nat; ++a) {
        fourfold = fourfold || s.iconn(0, a) == 4;
    }
    if (fourfold) {
        out.line(dashes);
        out.line("Generalized tau4 coordination parameter (1.0 is perfect tetrahedron, 0.0 is "
                 "perfect square planar)");
        out.line(dashes);
        for (int p = 1; p <= s.nat; ++p) {
            const int a = s.iorder(p, 2);
            if (s.iconn(0, a) == 4) {
                // cols 1-2 symbol | 3 blank | 4-7 atom I4 | 8-9 blanks | 10-19 t4gen F10.5
                std::string line(atomsymbol(s.iat(a)));
                line += ' ';
                fw::I(line, a, 4);
                line += "  ";
                fw::F(line, s.t4gen(a), 10, 5);
                out.line(line);
            }
        }
        out.line(dashes);
        out.line("");
    }

    out.line("B O N D S (Angstroms)");
    out.line("");
    for (int p = 1; p <= s.nat; ++p) {
        bonds(s, out, s.iorder(p, 2));
    }

    out.line("");
    out.line("A N G L E S (degree)");
    out.line("");
    out.line("i1        i2        i3              A123");
    for (int p = 1; p <= s.nat; ++p) {
        angles(s, out, s.iorder(p, 2));
    }
}
