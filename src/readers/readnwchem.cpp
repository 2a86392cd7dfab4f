// Reads an NWChem output: every geometry table, each with the last "Total DFT energy" printed
// before its end, and the normal modes of a frequency run from the "P.Freq" blocks.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

namespace {

constexpr std::string_view routine = "readnwchem";
constexpr std::string_view head =
    "No.       Tag          Charge          X              Y              Z";
static_assert(head.size() == 70);
constexpr std::string_view energymarker = "Total DFT energy";
constexpr std::string_view freqmarker = "P.Freq";

bool has(std::string_view line, std::string_view marker) {
    return line.find(marker) != std::string_view::npos;
}

bool blank(std::string_view line) {
    return len_trim(line) == 0;
}

// The tables were sized by the first pass; a second pass that finds more stops the run.
void room(long long needed, long long counted, std::string_view what) {
    if (needed > counted) {
        myexit("More " + std::string(what) + " than counted", routine);
    }
}

// One atom line of a table: number, tag, charge, then x, y, z in Angstrom.
void storeatom(Store& s, std::string_view line) {
    const FreeRead f = freerd(line);
    const int z = nwchemelement(f, line, routine);
    // Without its charge and three coordinates the line is no atom; it would otherwise become
    // one at the origin.
    if (f.nfndr < 4) {
        std::cout << "Not enough reals found: " << fw::I(f.nfndr, 2) << '\n'
                  << "LINE: " << record(line) << '\n';
        myexit("Not enough reals on line", routine);
    }
    room(s.nat + 1, s.iat.hi(), "atoms");
    const int a = ++s.nat;
    s.iat(a) = z;
    s.inpcoor = 1;
    for (int k = 1; k <= 3; ++k) {
        s.xyztmp(k, a) = f.fndreals(k + 1) / angstrom_per_bohr;
    }
}

void endtable(Store& s) {
    room(s.ngeom + 1, s.egeo.hi(), "geometries");
    const int g = ++s.ngeom;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xgeo(k, a, g) = s.xyztmp(k, a);
        }
    }
    s.egeo(g) = s.energy;
}

// A block of modes under way: the modes m0+1..m0+nr, and the component the next line gives.
struct Block {
    bool open = false;
    int m0 = 0;
    int nr = 0;
    int atom = 1;
    int component = 1;
};

void storecomponent(Store& s, Block& b, std::string_view line) {
    const FreeRead f = freerd(line);
    for (int k = 1; k <= b.nr; ++k) {
        s.vibvec(b.component, b.atom, b.m0 + k) = f.fndreals(k);
    }
    // The block ends after the last component of the current table's last atom; before any
    // table it ends after atom 1, so it never runs past the store.
    if (b.component == 3 && b.atom >= s.nat) {
        b.open = false;
        b.m0 += b.nr;
    } else if (b.component == 3) {
        b.component = 1;
        ++b.atom;
    } else {
        ++b.component;
    }
}

void count(Store& s, InputFile& in) {
    bool intable = false;
    std::string_view line;
    in.rewind();
    while (in.getline(line)) {
        if (has(line, head)) {
            in.getline(line); // the underline of the head
            s.nat = 0;
            ++s.ngeom;
            intable = true;
        } else if (intable) {
            if (blank(line)) {
                intable = false;
            } else {
                ++s.nat;
            }
        } else if (has(line, freqmarker)) {
            s.nvib += freerd(line).nfndr;
        }
    }
}

} // namespace

void readnwchem(Store& s, InputFile& in) {
    count(s, in);
    if (s.nvib > 0 && s.nvib != 3 * s.nat) {
        std::cout << " Uh uh not correct number of vibrations.. ignoring them\n";
        s.nvib = 0;
    }
    if (s.nat == 0) {
        myexit("No atoms found", routine);
    }
    allocstuff(s);

    in.rewind();
    s.nat = 0;
    s.ngeom = 0;
    bool intable = false;
    Block block;
    std::string_view line;
    while (in.getline(line)) {
        if (blank(line)) {
            if (intable) {
                endtable(s);
                intable = false;
            }
        } else if (has(line, head)) {
            in.getline(line);
            s.nat = 0;
            intable = true;
        } else if (intable) {
            storeatom(s, line);
        } else if (has(line, energymarker)) {
            s.energy = freerd(line).fndreals(1);
        } else if (block.open) {
            storecomponent(s, block, line);
        } else if (s.nvib >= 1 && has(line, freqmarker)) {
            const FreeRead f = freerd(line);
            room(block.m0 + f.nfndr, s.nvib, "modes");
            for (int k = 1; k <= f.nfndr; ++k) {
                s.vibs(block.m0 + k) = f.fndreals(k);
            }
            block = Block{true, block.m0, f.nfndr, 1, 1};
            // The line after the frequencies (a blank one in NWChem output) is no component.
            in.getline(line);
        }
    }
    // A file that ends inside a table still gives that table, rather than losing the last
    // geometry for want of the closing blank line.
    if (intable) {
        endtable(s);
    }
    if (s.ngeom > 0) {
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = s.xgeo(k, a, s.ngeom);
            }
        }
    }
}
