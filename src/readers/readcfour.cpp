// Reads a CFOUR output: every Cartesian geometry table (Bohr) with the CCSD(T) energy read before
// the table ended, the harmonic frequencies with their infrared intensities, and the normal modes.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <iostream>
#include <optional>

namespace {

constexpr std::string_view routine = "readcfour";
constexpr std::string_view geometryhead = "Z-matrix   Atomic            Coordinates (in bohr)";
constexpr std::string_view tableend = "----------";
constexpr std::string_view energymark = "CCSD(T) energy";
constexpr std::string_view vibration = "VIBRATION";

bool contains(std::string_view line, std::string_view marker) {
    return line.find(marker) != std::string_view::npos;
}

// A mode-block head: every field is "VIBRATION", one per mode of the block.
bool modeblockhead(const FreeRead& f) {
    if (f.nfnds < 1 || f.nfndi != 0 || f.nfndr != 0) {
        return false;
    }
    for (int i = 1; i <= f.nfnds; ++i) {
        if (f.fndstrings(i) != vibration) {
            return false;
        }
    }
    return true;
}

// A frequency line ends in the mode type; the other types (rotations, translations) are not
// modes of the molecule.
bool frequencyline(const FreeRead& f) {
    const FieldRef last = f.fndorder(f.nfndt);
    return last.kind == FieldKind::string && f.fndstrings(last.index) == vibration;
}

// Rows labelled "XX" are skipped; a row labelled "X" is a dummy centre and is kept.
bool atomline(const FreeRead& f) {
    return f.nfndr >= 3 && f.fndstrings(1) != "XX";
}

int element(const FreeRead& f, std::string_view line) {
    std::string symbol = upcase(f.fndstrings(1));
    const std::size_t point = symbol.find('.');
    if (point != std::string::npos) {
        symbol.erase(0, point + 1);
    }
    if (fixedtext(symbol, 2) == "X ") {
        symbol = "XX";
    }
    const int z = elementnumber(symbol);
    if (z == 0) {
        std::cout << "Unknown atomtype found: " << fixedtext(symbol, 2) << '\n'
                  << "LINE: " << record(line) << '\n';
        myexit("Unknown atomtype found", routine);
    }
    return z;
}

// An imaginary frequency is printed with a trailing "i" ("123.4567i"), which no number reading
// takes; blanked, the rest must read as one number.
std::optional<double> imaginary(std::string_view field) {
    std::string text(field);
    const std::size_t i = text.find('i');
    if (i == std::string::npos) {
        return std::nullopt;
    }
    text[i] = ' ';
    const FreeRead g = freerd(text);
    const FieldRef first = g.fndorder(1);
    if (first.kind == FieldKind::real) {
        return -g.fndreals(first.index);
    }
    if (first.kind == FieldKind::integer) {
        return -double(g.fndintegers(first.index));
    }
    return std::nullopt;
}

void count(Store& s, InputFile& in) {
    in.rewind();
    bool intable = false;
    std::string_view line;
    while (in.getline(line)) {
        const bool blank = len_trim(line) == 0;
        if (!intable && blank) {
            continue;
        }
        const FreeRead f = freerd(line);
        if (contains(line, geometryhead)) {
            s.nat = 0;
            in.getline(line);
            in.getline(line);
            ++s.ngeom;
            intable = true;
        } else if (modeblockhead(f)) {
            continue;
        } else if (frequencyline(f)) {
            ++s.nvib;
        } else if (intable) {
            if (blank || contains(line, tableend)) {
                intable = false;
            } else if (atomline(f)) {
                ++s.nat;
            }
        }
    }
}

// The second pass, with what lives from one line to the next.
struct Reading {
    Store& s;
    InputFile& in;
    int counted = 0; // atoms of the last table, as the first pass found them
    bool intable = false;
    int nfreq = 0;  // frequencies stored
    int m0 = 0;     // modes before the current block
    int stored = 0; // geometries stored

    void read();
    void modeblock(int k);
    void frequency(const FreeRead& f, std::string_view line);
    void endtable();
};

void Reading::read() {
    in.rewind();
    s.nat = 0;
    std::string_view line;
    while (in.getline(line)) {
        const bool blank = len_trim(line) == 0;
        if (!intable && blank) {
            continue;
        }
        const FreeRead f = freerd(line);
        if (contains(line, geometryhead)) {
            s.nat = 0;
            in.getline(line);
            in.getline(line);
            intable = true;
        } else if (modeblockhead(f)) {
            modeblock(f.nfnds);
        } else if (frequencyline(f)) {
            frequency(f, line);
        } else if (intable) {
            if (blank || contains(line, tableend)) {
                endtable();
            } else if (atomline(f)) {
                if (s.nat + 1 > counted) {
                    myexit("More atoms than counted", routine);
                }
                const int a = ++s.nat;
                s.iat(a) = element(f, line);
                s.inpcoor = 1;
                for (int c = 1; c <= 3; ++c) {
                    s.xyztmp(c, a) = f.fndreals(c);
                }
            }
        } else if (contains(line, energymark)) {
            // A geometry keeps the energy read before its table ended, as earlier files were
            // written; CFOUR prints a step's energy after its table.
            s.energy = f.fndreals(1);
        }
    }
    // Atoms at the origin are no molecule: a table cut off by the end of the file is not stored.
    if (stored == 0) {
        myexit("No complete geometry found", routine);
    }
    s.nat = counted;
    s.ngeom = stored;
    for (int a = 1; a <= counted; ++a) {
        for (int c = 1; c <= 3; ++c) {
            s.xyz(c, a) = s.xgeo(c, a, stored);
        }
    }
}

// One line per atom follows the head, blank or not, holding three displacements per mode. Column
// 14 is opened up first: an atom label, or a first displacement, can run into the next number.
void Reading::modeblock(int k) {
    std::string_view line;
    for (int a = 1; a <= s.nat; ++a) {
        if (!in.getline(line)) {
            break; // the end of the file ends the block, and the second pass with it
        }
        const std::string rec = record(line);
        const std::string shifted = rec.substr(0, 13) + ' ' + rec.substr(13, 67) + rec.substr(81);
        const FreeRead f = freerd(shifted);
        if (f.nfndr != 3 * k) {
            std::cout << "Error reading normal mode vectors\n";
            continue;
        }
        if (m0 + k > s.nvib) {
            myexit("More modes than counted", routine);
        }
        for (int j = 1; j <= k; ++j) {
            for (int c = 1; c <= 3; ++c) {
                s.vibvec(c, a, m0 + j) = f.fndreals(3 * (j - 1) + c);
            }
        }
    }
    m0 += k;
}

void Reading::frequency(const FreeRead& f, std::string_view line) {
    if (nfreq + 1 > s.nvib) {
        myexit("More frequencies than counted", routine);
    }
    double wavenumber = f.fndreals(1);
    double intensity = f.fndreals(2);
    const FieldRef second = f.fndorder(2);
    if (second.kind == FieldKind::string) {
        const std::optional<double> value = imaginary(f.fndstrings(second.index));
        if (!value) {
            std::cout << "Frequency not readable: " << f.fndstrings(second.index) << '\n'
                      << "LINE: " << record(line) << '\n';
            myexit("Error reading frequency", routine);
        }
        wavenumber = *value;
        intensity = f.fndreals(1);
    }
    ++nfreq;
    s.vibs(nfreq) = wavenumber;
    s.frqintns(nfreq) = intensity;
}

// The whole scratch table becomes the geometry, with the energy read so far.
void Reading::endtable() {
    intable = false;
    // A shorter table would leave another table's atoms in the geometry.
    if (s.nat != counted) {
        myexit("Geometry tables differ in their number of atoms", routine);
    }
    if (stored + 1 > s.xgeo.extent3().hi) {
        myexit("More geometries than counted", routine);
    }
    ++stored;
    for (int a = 1; a <= counted; ++a) {
        for (int c = 1; c <= 3; ++c) {
            s.xgeo(c, a, stored) = s.xyztmp(c, a);
        }
    }
    s.egeo(stored) = s.energy;
}

} // namespace

void readcfour(Store& s, InputFile& in) {
    s.nat = 0;
    s.ngeom = 0;
    s.nvib = 0;
    count(s, in);
    if (s.nat == 0) {
        myexit("No atoms found", routine);
    }
    allocstuff(s);
    Reading{s, in, s.nat}.read();
}
