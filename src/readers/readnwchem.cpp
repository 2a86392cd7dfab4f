// Reads an NWChem output: every geometry table of the molecule as a geometry of the sequence,
// each with the energy of the run's method printed after it, the projected normal modes of a
// frequency run with their infrared intensities, and whether the run ended normally.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "control/markedlines.h"
#include "readers/readers.h"
#include "store/store.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

namespace {

constexpr std::string_view routine = "readnwchem";

enum Marker : std::uint64_t {
    tablehead = 1 << 0,
    dftenergy = 1 << 1,
    scfenergy = 1 << 2,
    mp2energy = 1 << 3,
    ccenergy = 1 << 4,
    frequencies = 1 << 5,
    intensities = 1 << 6,
    finished = 1 << 7,
    units = 1 << 8,
    chargeword = 1 << 9,
    multiplicityword = 1 << 10,
};
constexpr std::uint64_t settings = chargeword | multiplicityword;
constexpr std::uint64_t anyenergy = dftenergy | scfenergy | mp2energy | ccenergy;

MarkerSet markers() {
    return MarkerSet{
        "No.       Tag          Charge          X              Y              Z",
        "Total DFT energy",
        "Total SCF energy",
        "Total MP2 energy",
        "CCSD(T) total energy / hartree",
        "P.Freq",
        "Projected Infra Red Intensities",
        " Total times  cpu:",
        "Output coordinates in ",
        "Charge",
        "Spin multiplicity",
    };
}

// "Charge           :     0" and "Spin multiplicity:     1" of the DFT module's settings.
void chargeormultiplicity(Store& s, std::string_view line) {
    const std::string_view text = trimleft(line);
    const bool charge = text.starts_with("Charge");
    if (!charge && !text.starts_with("Spin multiplicity")) {
        return;
    }
    const std::size_t colon = text.find(':');
    const FreeRead f = freerd(text.substr(std::min(colon + 1, text.size())));
    if (colon == std::string_view::npos || f.nfndt != 1 || f.nfndi != 1) {
        return;
    }
    const int value = clampint(f.fndintegers(1));
    if (charge) {
        s.runcharge = value;
    } else if (value >= 1) {
        s.runmult = value;
    }
}

bool blank(std::string_view line) {
    return len_trim(line) == 0;
}

// The energy lines of the highest level the file prints: a correlated run prints the SCF energy
// of every geometry before its own total.
std::uint64_t methodenergies(std::uint64_t seen) {
    if ((seen & ccenergy) != 0) {
        return ccenergy;
    }
    if ((seen & mp2energy) != 0) {
        return mp2energy;
    }
    return dftenergy | scfenergy;
}

// The geometry tables of the file, counted in the first pass: the molecule is the atoms of the
// last table a blank line closes (a table the end of the file cuts may lack atoms), and every
// table with that many atoms is a geometry; the others (another molecule, a cut table) are not.
struct Tables {
    std::vector<int> atoms; // of each table, in file order
    int closed = 0;         // atoms of the last table closed by a blank line

    int molecule() const { return closed > 0 || atoms.empty() ? closed : atoms.back(); }
    int geometries() const { return int(std::count(atoms.begin(), atoms.end(), molecule())); }
};

// Coordinates of a table in the units its "Output coordinates in" line names: Angstrom, or any
// other unit with the factor to Bohr that the line prints.
struct Units {
    double tobohr = 0.0; // 0 for Angstrom

    void set(std::string_view line) {
        const FreeRead f = freerd(line);
        const bool angstrom = line.find("angstrom") != std::string_view::npos;
        tobohr = !angstrom && f.nfndr >= 1 && f.fndreals(1) > 0.0 ? f.fndreals(1) : 0.0;
    }
    double bohr(double x) const { return tobohr > 0.0 ? x * tobohr : x / angstrom_per_bohr; }
};

// A block of modes under way: the modes m0+1..m0+nr, and the component the next line gives.
struct Block {
    bool open = false;
    int m0 = 0;
    int nr = 0;
    int atom = 1;
    int component = 1;
};

// The projected infrared intensity table: the number of the KM/mol column among the fields after
// "||", as its units line names it.
struct IntensityTable {
    bool open = false;
    int column = 3;

    void readunits(std::string_view line) {
        const std::size_t bars = line.find("||");
        const std::size_t km = line.find("KM/mol", bars);
        if (km == std::string_view::npos) {
            return;
        }
        const std::string_view before = line.substr(bars, km - bars);
        column = int(std::count(before.begin(), before.end(), '['));
    }
};

struct NwchemReader {
    NwchemReader(Store& store, InputFile& input) : s(store), in(input) {}

    Store& s;
    InputFile& in;
    const MarkerSet set = markers();
    MarkedLines marked{in, set};
    Tables tables;
    std::uint64_t method = dftenergy | scfenergy;

    void count();
    void read();
};

void NwchemReader::count() {
    bool intable = false;
    std::uint64_t seen = 0;
    std::string_view line;
    std::uint64_t found = 0;
    in.rewind();
    // Lines without a marker matter only inside a geometry table.
    while (marked.next(line, found, intable)) {
        if ((found & tablehead) != 0) {
            in.getline(line); // the underline of the head
            tables.atoms.push_back(0);
            intable = true;
        } else if (intable) {
            if (blank(line)) {
                intable = false;
                if (tables.atoms.back() > 0) {
                    tables.closed = tables.atoms.back();
                }
            } else {
                ++tables.atoms.back();
            }
        } else if ((found & frequencies) != 0) {
            s.nvib += freerd(line).nfndr;
        } else {
            seen |= found;
        }
    }
    s.nat = tables.molecule();
    s.ngeom = s.nat > 0 ? tables.geometries() : 0;
    method = methodenergies(seen);
}

// One atom line of a table: number, tag, charge, then x, y, z.
void storeatom(Store& s, int a, std::string_view line, const Units& units) {
    const FreeRead f = freerd(line);
    const int z = tagelement(s.log(), f, line, routine, f.fndreals(1));
    // Without its charge and three coordinates the line is no atom; it would otherwise become
    // one at the origin.
    if (f.nfndr < 4) {
        s.log() << "Not enough reals found: " << fw::I(f.nfndr, 2) << '\n'
                << "LINE: " << record(line) << '\n';
        myexit("Not enough reals on line", routine);
    }
    if (a > s.nat) {
        myexit("More atoms than counted", routine);
    }
    s.iat(a) = z;
    s.inpcoor = 1;
    for (int k = 1; k <= 3; ++k) {
        s.xyztmp(k, a) = units.bohr(f.fndreals(k + 1));
    }
}

void storecomponent(Store& s, Block& b, std::string_view line) {
    const FreeRead f = freerd(line);
    for (int k = 1; k <= b.nr; ++k) {
        s.vibvec(b.component, b.atom, b.m0 + k) = f.fndreals(k);
    }
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

// A row of the intensity table: the mode number, its frequency, "||", then the columns.
void storeintensity(Store& s, const IntensityTable& t, std::string_view line) {
    const FreeRead f = freerd(line);
    if (f.fndorder(1).kind != FieldKind::integer) {
        return;
    }
    const long long m = f.fndintegers(1);
    int column = -1; // fields after "||"
    for (int i = 2; i <= f.nfndt; ++i) {
        const FieldRef r = f.fndorder(i);
        if (column < 0) {
            if (r.kind == FieldKind::string && f.fndstrings(r.index) == "||") {
                column = 0;
            }
        } else if (++column == t.column) {
            if (r.kind == FieldKind::real && m >= 1 && m <= s.nvib) {
                s.frqintns(int(m)) = f.fndreals(r.index);
            }
            return;
        }
    }
}

void NwchemReader::read() {
    GeometrySequence seq(s, routine);
    Units unitsnow;
    Block block;
    IntensityTable table;
    bool intable = false;
    bool keep = false; // the table under way is a geometry of the molecule
    int atoms = 0;     // of the table under way
    std::size_t tableno = 0;
    bool ended = false;
    const auto closetable = [&] {
        if (keep && atoms == s.nat) {
            seq.append();
        }
        intable = false;
    };
    std::string_view line;
    std::uint64_t found = 0;
    // Lines without a marker matter only inside a geometry table, a block of the normal modes
    // and the intensity table.
    while (marked.next(line, found, intable || block.open || table.open)) {
        if (blank(line)) {
            if (intable) {
                closetable();
            }
            continue;
        }
        // A settings line holds no other marker ("Charge" also heads the geometry table).
        if ((found & settings) != 0 && (found & ~settings) == 0 && !intable) {
            chargeormultiplicity(s, line);
        }
        if ((found & tablehead) != 0) {
            if (intable) {
                closetable();
            }
            in.getline(line);
            keep = tableno < tables.atoms.size() && tables.atoms[tableno] == s.nat;
            ++tableno;
            atoms = 0;
            intable = true;
        } else if (intable) {
            if (keep) {
                storeatom(s, ++atoms, line, unitsnow);
            }
        } else if ((found & anyenergy) != 0) {
            const FreeRead f = freerd(line);
            if ((found & method) != 0 && f.nfndr >= 1) {
                seq.energy(f.fndreals(1));
            }
        } else if ((found & units) != 0) {
            unitsnow.set(line);
        } else if ((found & finished) != 0) {
            ended = true;
        } else if (s.nvib >= 1 && (found & intensities) != 0) {
            table = IntensityTable{true, 3};
        } else if (block.open) {
            storecomponent(s, block, line);
        } else if (s.nvib >= 1 && (found & frequencies) != 0) {
            const FreeRead f = freerd(line);
            if (block.m0 + f.nfndr > s.nvib) {
                myexit("More modes than counted", routine);
            }
            for (int k = 1; k <= f.nfndr; ++k) {
                s.vibs(block.m0 + k) = f.fndreals(k);
            }
            block = Block{true, block.m0, f.nfndr, 1, 1};
            // The line after the frequencies (a blank one in NWChem output) is no component.
            in.getline(line);
        } else if (table.open) {
            if (line.find("||") == std::string_view::npos) {
                table.open = false;
            } else if (line.find('[') != std::string_view::npos) {
                table.readunits(line);
            } else {
                storeintensity(s, table, line);
            }
        }
    }
    // A file that ends inside a table still gives that table when it is whole, rather than
    // losing the last geometry for want of the closing blank line.
    if (intable) {
        closetable();
    }
    seq.finish();
    const int finalgeometry = s.ngeom > 0 ? selectgeometry(s) : 0;
    if (!ended) {
        noteunfinished(s, finalgeometry);
    }
}

} // namespace

void readnwchem(Store& s, InputFile& in) {
    NwchemReader reader(s, in);
    reader.count();
    if (s.nvib > 0 && s.nvib != 3 * s.nat) {
        s.log() << " Uh uh not correct number of vibrations.. ignoring them\n";
        s.nvib = 0;
    }
    if (s.nat == 0) {
        myexit("No atoms found", routine);
    }
    sizestore(s, in, routine);
    s.ngeom = 0;
    reader.read();
}
