// Reads a CFOUR output: every Cartesian geometry table (Bohr) with the total energy of the job's
// method computed at it, the harmonic frequencies with their infrared intensities, and the normal
// modes. A single atom has no such table; its coordinates come from the basis-set listing.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markedlines.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <optional>
#include <ostream>

namespace {

constexpr std::string_view routine = "readcfour";
constexpr std::string_view tableend = "----------";
constexpr std::string_view vibration = "VIBRATION";

bool contains(std::string_view line, std::string_view marker) {
    return line.find(marker) != std::string_view::npos;
}

// The markers of the output, found in one pass over each line.
enum Marker : std::uint64_t {
    geometryhead = 1,
    vibrationword = 2,
    calclevel = 4,
    scfenergy = 8,
    mp2energy = 16,
    ccsdenergy = 32,
    ccsdtenergy = 64,
    finalenergy = 128,
    nuclearblock = 256,
    atomictype = 512,
};
MarkerSet markers() {
    return MarkerSet{"Z-matrix   Atomic            Coordinates (in bohr)",
                     vibration,
                     "CALCLEVEL",
                     "E(SCF)=",
                     "Total MP2 energy",
                     "The total energy is",
                     "E(CCSD(T))",
                     "The final electronic energy is",
                     "NUCLEAR COORDINATES (IN A.U.) ARE",
                     "ATOMIC TYPE NUMBER"};
}

// The energy line of the job's method, from the "CALCLEVEL ICLLVL" parameter line; 0 for a method
// without one here, whose geometries take the run's final energy.
std::uint64_t methodenergy(const FreeRead& f) {
    if (f.nfnds < 3 || f.fndstrings(2) != "ICLLVL") {
        return 0;
    }
    const std::string_view method = f.fndstrings(3);
    if (method == "SCF") {
        return scfenergy;
    }
    if (method == "MBPT(2)") {
        return mp2energy;
    }
    if (method == "CCSD") {
        return ccsdenergy;
    }
    if (method == "CCSD(T)") {
        return ccsdtenergy;
    }
    return 0;
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

// A row of the basis-set listing: "C #1" and three reals.
bool nuclearline(const FreeRead& f) {
    return f.nfnds >= 2 && f.fndstrings(2).starts_with('#') && f.nfndr >= 3;
}

// "ATOMIC TYPE NUMBER  1": the listing of the next geometry's atoms begins.
bool firstatomictype(const FreeRead& f) {
    return f.nfndi >= 1 && f.fndintegers(1) == 1;
}

int element(std::ostream& log, const FreeRead& f, std::string_view line) {
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
        unknownatomtype(log, symbol, record(line), routine);
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

// What the first pass finds.
struct Counts {
    std::uint64_t method = 0; // marker of the job's energy line
    int listedatoms = 0;      // atoms of the first basis-set listing
    bool listingdone = false; // that listing is complete
};

Counts count(Store& s, InputFile& in, MarkedLines& marked) {
    Counts c;
    bool intable = false;
    bool inlisting = false;
    int blockatoms = 0; // atoms of the current block of the listing
    std::string_view line;
    std::uint64_t found = 0;
    // Lines without a marker matter only in the tables and the basis-set listing.
    while (marked.next(line, found, intable || inlisting)) {
        const bool blank = len_trim(line) == 0;
        if (!intable && !inlisting && blank) {
            continue;
        }
        if (found & geometryhead) {
            s.nat = 0;
            in.getline(line);
            in.getline(line);
            ++s.ngeom;
            intable = true;
            continue;
        }
        if (!intable && !inlisting &&
            (found & (vibrationword | calclevel | nuclearblock | atomictype)) == 0) {
            continue;
        }
        const FreeRead f = freerd(line);
        if (found & calclevel) {
            if (c.method == 0) {
                c.method = methodenergy(f);
            }
        } else if (found & nuclearblock) {
            inlisting = !c.listingdone;
            blockatoms = 0;
        } else if (found & atomictype) {
            c.listingdone = c.listingdone || (c.listedatoms > 0 && firstatomictype(f));
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
        } else if (inlisting) {
            if (nuclearline(f)) {
                ++c.listedatoms;
                ++blockatoms;
            } else if (!blank || blockatoms > 0) {
                inlisting = false;
            }
        }
    }
    return c;
}

// The second pass, with what lives from one line to the next.
struct Reading {
    Store& s;
    InputFile& in;
    MarkedLines& marked;
    std::uint64_t method; // marker of the job's energy line
    int counted = 0;      // atoms of the last table, as the first pass found them
    GeometrySequence seq{s, routine};
    bool tables = false; // the atoms come from the tables, not from the basis-set listing
    bool listed = false; // the basis-set listing's geometry is stored
    bool intable = false;
    bool inlisting = false;
    int blockatoms = 0;    // atoms of the current block of the listing
    bool finished = false; // the run's final energy was printed
    int nfreq = 0;         // frequencies stored
    int m0 = 0;            // modes before the current block

    void read();
    void modeblock(int k);
    void frequency(const FreeRead& f, std::string_view line);
    void endtable();
    void listedatom(const FreeRead& f, std::string_view line);
};

void Reading::read() {
    s.nat = 0;
    s.ngeom = 0;
    std::string_view line;
    std::uint64_t found = 0;
    while (marked.next(line, found, intable || inlisting)) {
        const bool blank = len_trim(line) == 0;
        if (!intable && !inlisting && blank) {
            continue;
        }
        if (found & geometryhead) {
            s.nat = 0;
            in.getline(line);
            in.getline(line);
            intable = true;
            continue;
        }
        const std::uint64_t energies = method | finalenergy;
        if (!intable && !inlisting && (found & (vibrationword | energies | nuclearblock)) == 0) {
            continue;
        }
        const FreeRead f = freerd(line);
        if (!tables && (found & nuclearblock)) {
            inlisting = !listed;
            blockatoms = 0;
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
                s.iat(a) = element(s.log(), f, line);
                s.inpcoor = 1;
                for (int k = 1; k <= 3; ++k) {
                    s.xyztmp(k, a) = f.fndreals(k);
                }
            }
        } else if (inlisting) {
            if (nuclearline(f)) {
                ++blockatoms;
                listedatom(f, line);
            } else if (!blank || blockatoms > 0) {
                inlisting = false;
            }
        } else if ((found & method) && f.nfndr >= 1) {
            seq.energy(f.fndreals(1));
        } else if ((found & finalenergy) && f.nfndr >= 1) {
            // The run's energy; it pairs with no geometry of its own.
            s.energy = f.fndreals(1);
            finished = true;
        }
    }
    // Atoms at the origin are no molecule: a table cut off by the end of the file is not stored.
    if (s.ngeom == 0) {
        myexit("No complete geometry found", routine);
    }
    s.nat = counted;
    seq.finish();
    const int g = selectgeometry(s);
    if (!finished) {
        noteunfinished(s, g);
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
            s.log() << "Error reading normal mode vectors\n";
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
            s.log() << "Frequency not readable: " << f.fndstrings(second.index) << '\n'
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

// The whole scratch table becomes the next geometry.
void Reading::endtable() {
    intable = false;
    // A shorter table would leave another table's atoms in the geometry.
    if (s.nat != counted) {
        myexit("Geometry tables differ in their number of atoms", routine);
    }
    seq.append();
}

// An atom of the basis-set listing; the listing's last atom completes the geometry.
void Reading::listedatom(const FreeRead& f, std::string_view line) {
    if (s.nat + 1 > counted) {
        myexit("More atoms than counted", routine);
    }
    const int a = ++s.nat;
    s.iat(a) = element(s.log(), f, line);
    s.inpcoor = 1;
    for (int k = 1; k <= 3; ++k) {
        s.xyztmp(k, a) = f.fndreals(k);
    }
    if (s.nat == counted) {
        inlisting = false;
        listed = true;
        seq.append();
    }
}

} // namespace

void readcfour(Store& s, InputFile& in) {
    s.nat = 0;
    s.ngeom = 0;
    s.nvib = 0;
    const MarkerSet set = markers();
    MarkedLines marked(in, set);
    in.rewind();
    const Counts c = count(s, in, marked);
    // Only a run without geometry tables (a single atom) takes its atoms from the basis-set
    // listing, which elsewhere holds only the symmetry-unique atoms.
    const bool tables = s.ngeom > 0;
    if (!tables && c.listedatoms > 0) {
        s.nat = c.listedatoms;
        s.ngeom = 1;
    }
    if (s.nat == 0) {
        myexit("No atoms found", routine);
    }
    sizestore(s, in, routine);
    Reading r{s, in, marked, c.method, s.nat};
    r.tables = tables;
    r.read();
}
