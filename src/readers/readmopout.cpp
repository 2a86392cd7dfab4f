// Reads a MOPAC output. Outputs with an "ATOM ELEMENTAL" coordinate head give the atoms of the
// first such table. Later versions print bare "CARTESIAN COORDINATES" tables (the input geometry,
// the final one) and, in a FORCE run, the orientation of the vibrations: each is a geometry of the
// sequence, paired with the heat of formation printed after it; a FORCE run adds the frequencies
// of its description of the vibrations and the Cartesian normal coordinates.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markedlines.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

namespace {

constexpr std::string_view routine = "readmopout";

// The markers of the output, found in one pass over each line.
enum Marker : std::uint64_t {
    elementalhead = 1,
    cartesianhead = 2,
    orientationhead = 4,
    heatofformation = 8,
    normalend = 16,
    description = 32,
    normalcoordinates = 64,
    frequencymark = 128,
};
MarkerSet markers() {
    return MarkerSet{"     ATOM     ELEMENTAL            CARTESIAN COORDINATES",
                     "CARTESIAN COORDINATES",
                     "ORIENTATION OF MOLECULE IN FORCE CALCULATION",
                     "HEAT OF FORMATION",
                     "JOB ENDED NORMALLY",
                     "DESCRIPTION OF VIBRATIONS",
                     "NORMAL COORDINATE ANALYSIS",
                     "FREQ."};
}

// A bare table head holds these two words and nothing else; "CARTESIAN COORDINATE DERIVATIVES"
// and the "ATOM ELEMENTAL" head are other tables.
bool bareheadline(const FreeRead& f) {
    return f.nfndt == 2 && f.nfnds == 2 && f.fndstrings(1) == "CARTESIAN" &&
           f.fndstrings(2) == "COORDINATES";
}

// "1  C  0.2695  1.4101  0.0000": number, symbol, x, y, z in Angstrom.
bool tableatom(const FreeRead& f) {
    return f.fndorder(1).kind == FieldKind::integer && f.fndorder(2).kind == FieldKind::string &&
           f.nfndr >= 3;
}

// The heat of formation in kcal/mol, the first number of its line; FORCE runs print it without
// "FINAL" and in "KCALS/MOLE".
bool heatline(std::string_view line, const FreeRead& f) {
    return f.nfndr >= 1 && line.find("KCAL") != std::string_view::npos;
}

// "FREQ.  1397.86 ...": one vibration of the description.
bool frequencyline(const FreeRead& f) {
    return f.fndorder(1).kind == FieldKind::string && f.fndstrings(1) == "FREQ." &&
           f.fndorder(2).kind == FieldKind::real;
}

// "Root No.  1  2  3": the modes of the next block of the normal coordinates.
bool rootline(const FreeRead& f) {
    return f.fndorder(1).kind == FieldKind::string && upcase(f.fndstrings(1)) == "ROOT" &&
           f.nfndi >= 1 && f.nfndr == 0;
}

// "1  -0.0320  -0.0379  -0.0158": one Cartesian coordinate of the molecule in every mode of the
// block.
bool coordinaterow(const FreeRead& f, int k) {
    return f.fndorder(1).kind == FieldKind::integer && f.nfndi == 1 && f.nfnds == 0 && f.nfndr == k;
}

int element(std::ostream& log, const FreeRead& f, std::string_view line) {
    const std::string symbol = upcase(f.fndstrings(1));
    const int z = elementnumber(symbol);
    if (z == 0) {
        unknownatomtype(log, symbol, record(line), routine);
    }
    return z;
}

constexpr double unknown = std::numeric_limits<double>::quiet_NaN();

// What the first pass finds for the second.
struct Counts {
    bool elemental = false; // the output has the "ATOM ELEMENTAL" head
    bool finished = false;
    int modetables = 0;                // normal-coordinate tables; the last one is read
    std::vector<double> frequencies;   // of the last description of the vibrations
    std::vector<double> rootfrequency; // of each root of the last normal-coordinate table whose
                                       // block was read whole; unknown for the others
    std::vector<int> rootmode;         // the vibration of each root (from 1), 0 for none
};

// A line-by-line walk over the output: coordinate tables, heats of formation, the description of
// the vibrations and the normal coordinates. The first pass counts with it, the second stores.
class Walk {
  public:
    Walk(Store& s, Counts& c, bool storing) : s_(s), c_(c), storing_(storing), seq_(s, routine) {}
    void line(std::string_view line, std::uint64_t found);
    /// At the end of the file: a table cut off by it is not used, nor a block of the normal
    /// coordinates that misses rows.
    void end() {
        if (modes_ == Modes::rows) {
            closeblock();
        }
    }
    int modetables() const { return modetable_; }
    /// Inside a table or a block of the normal coordinates, where every line is read.
    bool inblock() const { return table_ != Table::none || modes_ != Modes::none; }
    int geometries = 0;    // tables closed
    int forcegeometry = 0; // the last orientation table's geometry
    GeometrySequence& sequence() { return seq_; }

  private:
    enum class Table { none, head, atoms };
    enum class Modes { none, between, blockhead, rows };

    bool tableline(std::string_view line);
    void closetable();
    bool modeline(const FreeRead& f);
    void row(const FreeRead& f);
    void closeblock();

    Store& s_;
    Counts& c_;
    bool storing_;
    GeometrySequence seq_;

    Table table_ = Table::none;
    int headlines_ = 0;        // non-blank lines of the table head so far
    bool orientation_ = false; // the table is the orientation of the vibrations
    int atoms_ = 0;            // atoms of the table so far

    Modes modes_ = Modes::none;
    int modetable_ = 0;            // normal-coordinate tables begun
    std::vector<long long> roots_; // the current block's roots
    std::vector<double> blockfrequency_;
    int blocklines_ = 0; // lines of the block head so far
    int rows_ = 0;       // coordinate rows of the block so far
};

void Walk::line(std::string_view line, std::uint64_t found) {
    if (table_ != Table::none && tableline(line)) {
        return;
    }
    if (modes_ != Modes::none && (len_trim(line) == 0 || modeline(freerd(line)))) {
        return;
    }
    if (found == 0) {
        return;
    }
    const FreeRead f = freerd(line);
    if (found & elementalhead) {
        c_.elemental = true;
    } else if ((found & cartesianhead) && bareheadline(f)) {
        table_ = Table::head;
        orientation_ = false;
    } else if (found & orientationhead) {
        table_ = Table::head;
        orientation_ = true;
    } else if ((found & heatofformation) && heatline(line, f)) {
        if (storing_) {
            seq_.energy(f.fndreals(1) / kcal_per_hartree);
        }
    } else if (found & normalend) {
        c_.finished = true;
    } else if (found & description) {
        if (!storing_) {
            c_.frequencies.clear();
        }
    } else if (found & normalcoordinates) {
        ++modetable_;
        modes_ = Modes::between;
        if (!storing_) {
            c_.rootfrequency.clear();
        }
    } else if ((found & frequencymark) && frequencyline(f) && !storing_) {
        c_.frequencies.push_back(f.fndreals(1));
    }
    if (table_ != Table::none) {
        headlines_ = 0;
        atoms_ = 0;
    }
}

// A line of a coordinate table; false when it is no part of it, which closes the table.
bool Walk::tableline(std::string_view line) {
    const FreeRead f = freerd(line);
    if (tableatom(f)) {
        table_ = Table::atoms;
        const int a = ++atoms_;
        if (storing_) {
            if (a > s_.xyztmp.extent2().hi) {
                myexit("More atoms than counted", routine);
            }
            s_.iat(a) = element(s_.log(), f, line);
            s_.inpcoor = 1;
            for (int k = 1; k <= 3; ++k) {
                s_.xyztmp(k, a) = f.fndreals(k) / angstrom_per_bohr;
            }
        }
        return true;
    }
    if (table_ == Table::head) {
        // The head: blank lines and at most two lines of column titles ("NO. ATOM X Y Z").
        if (len_trim(line) == 0 || (f.nfndi + f.nfndr == 0 && ++headlines_ <= 2)) {
            return true;
        }
        table_ = Table::none; // a head without atoms is no table
        return false;
    }
    closetable();
    return false;
}

void Walk::closetable() {
    table_ = Table::none;
    ++geometries;
    if (orientation_) {
        forcegeometry = geometries;
    }
    if (!storing_) {
        s_.nat = atoms_;
        return;
    }
    // A shorter table would leave another table's atoms in the geometry.
    if (atoms_ != s_.nat) {
        myexit("Geometry tables differ in their number of atoms", routine);
    }
    seq_.append();
}

// A line of the normal coordinates; false when it is no part of them, which ends them.
bool Walk::modeline(const FreeRead& f) {
    const int k = int(roots_.size());
    if (modes_ == Modes::blockhead) {
        if (coordinaterow(f, k)) {
            modes_ = Modes::rows;
            row(f);
            return true;
        }
        if (!rootline(f)) {
            // The symmetry labels, and the block's frequencies, which match roots and vibrations.
            if (f.nfndr == k && f.nfndi == 0 && f.nfnds == 0) {
                blockfrequency_.assign(f.reals.begin(), f.reals.begin() + k);
            }
            if (++blocklines_ <= 6) {
                return true;
            }
            modes_ = Modes::none;
            return false;
        }
    } else if (modes_ == Modes::rows) {
        if (coordinaterow(f, k)) {
            row(f);
            return true;
        }
        closeblock();
    }
    if (!rootline(f)) {
        modes_ = Modes::none;
        return false;
    }
    modes_ = Modes::blockhead;
    roots_.assign(f.integers.begin(), f.integers.begin() + f.nfndi);
    blockfrequency_.clear();
    blocklines_ = 0;
    rows_ = 0;
    return true;
}

// Row i holds coordinate i of the molecule: atom (i + 2) / 3, component (i - 1) % 3 + 1.
void Walk::row(const FreeRead& f) {
    ++rows_;
    if (!storing_ || modetable_ != c_.modetables) {
        return;
    }
    const long long i = f.fndintegers(1);
    if (i < 1 || i > 3LL * s_.nat) {
        return;
    }
    const int atom = int((i + 2) / 3);
    const int component = int((i - 1) % 3 + 1);
    for (std::size_t j = 0; j < roots_.size(); ++j) {
        const long long r = roots_[j];
        if (r >= 1 && r < static_cast<long long>(c_.rootmode.size()) &&
            c_.rootmode[std::size_t(r)] > 0) {
            s_.vibvec(component, atom, c_.rootmode[std::size_t(r)]) = f.fndreals(int(j) + 1);
        }
    }
}

// The first pass keeps the frequency of each root whose block it read whole, a row for every
// coordinate of the last table's atoms.
void Walk::closeblock() {
    modes_ = Modes::between;
    if (storing_ || rows_ != 3 * s_.nat || blockfrequency_.size() != roots_.size()) {
        return;
    }
    for (std::size_t j = 0; j < roots_.size(); ++j) {
        const long long r = roots_[j];
        if (r < 1 || r > 3LL * s_.nat) {
            continue;
        }
        if (static_cast<long long>(c_.rootfrequency.size()) < r) {
            c_.rootfrequency.resize(std::size_t(r), unknown);
        }
        c_.rootfrequency[std::size_t(r - 1)] = blockfrequency_[j];
    }
}

// Matches the vibrations of the description with the roots of the normal coordinates: in order
// when both list the same number, else each takes the root of the nearest frequency (the tables
// round differently, and one may list the translations and rotations too). Without a
// description the roots are the vibrations, with their own frequencies.
void matchroots(Counts& c) {
    std::vector<int> roots; // the roots read whole
    for (std::size_t r = 1; r <= c.rootfrequency.size(); ++r) {
        if (!std::isnan(c.rootfrequency[r - 1])) {
            roots.push_back(int(r));
        }
    }
    c.rootmode.assign(c.rootfrequency.size() + 1, 0);
    if (c.frequencies.empty()) {
        for (const int r : roots) {
            c.frequencies.push_back(c.rootfrequency[std::size_t(r - 1)]);
            c.rootmode[std::size_t(r)] = int(c.frequencies.size());
        }
        return;
    }
    if (roots.size() == c.frequencies.size()) {
        for (std::size_t m = 0; m < roots.size(); ++m) {
            c.rootmode[std::size_t(roots[m])] = int(m + 1);
        }
        return;
    }
    for (std::size_t m = 0; m < c.frequencies.size(); ++m) {
        int best = 0;
        double nearest = INFINITY;
        for (const int r : roots) {
            const double d = std::abs(c.rootfrequency[std::size_t(r - 1)] - c.frequencies[m]);
            if (c.rootmode[std::size_t(r)] == 0 && d < nearest) {
                best = r;
                nearest = d;
            }
        }
        if (best != 0) {
            c.rootmode[std::size_t(best)] = int(m + 1);
        }
    }
}

// The atoms of the first "ATOM ELEMENTAL" table: its head, two lines, then atom lines up to the
// first blank line, each handed to `atom`; the file stands after the table.
template <class Atom> void elementaltable(InputFile& in, MarkedLines& marked, Atom atom) {
    in.rewind();
    std::string_view line;
    std::uint64_t found = 0;
    while (marked.next(line, found)) {
        if (found & elementalhead) {
            if (!in.getline(line) || !in.getline(line)) {
                return;
            }
            while (in.getline(line) && len_trim(line) > 0) {
                atom(line);
            }
            return;
        }
    }
}

// The first "ATOM ELEMENTAL" table as the molecule, with the heats of formation after it.
void readelemental(Store& s, InputFile& in, MarkedLines& marked, const Counts& c) {
    int count = 0;
    elementaltable(in, marked, [&count](std::string_view) { ++count; });
    if (count == 0) {
        myexit("No atoms found", routine);
    }
    s.nat = count;
    s.ngeom = 1;
    s.nvib = 0;
    sizestore(s, in, routine);
    s.nat = 0;
    s.ngeom = 0;
    AtomLineOptions options;
    options.integercoords = true;
    elementaltable(in, marked,
                   [&](std::string_view line) { parseatomline(s, line, routine, options); });
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xyztmp(k, a) = s.xyz(k, a);
        }
    }
    GeometrySequence seq(s, routine);
    seq.append();
    std::string_view line;
    std::uint64_t found = 0;
    while (marked.next(line, found)) {
        if (found & heatofformation) {
            const FreeRead f = freerd(line);
            if (heatline(line, f)) {
                seq.energy(f.fndreals(1) / kcal_per_hartree);
            }
        }
    }
    seq.finish();
    if (!c.finished) {
        noteunfinished(s, 1);
    }
}

} // namespace

void readmopout(Store& s, InputFile& in) {
    const MarkerSet set = markers();
    MarkedLines marked(in, set);
    Counts c;
    s.nat = 0;
    std::string_view line;
    std::uint64_t found = 0;
    {
        Walk first(s, c, false);
        in.rewind();
        // Lines without a marker matter only inside tables and mode blocks.
        while (marked.next(line, found, first.inblock())) {
            first.line(line, found);
        }
        first.end();
        s.ngeom = first.geometries;
        c.modetables = first.modetables();
    }
    if (c.elemental) {
        readelemental(s, in, marked, c);
        return;
    }
    if (s.ngeom == 0 || s.nat == 0) {
        myexit("No atoms found", routine);
    }
    matchroots(c);
    s.nvib = int(c.frequencies.size());
    sizestore(s, in, routine);
    for (int m = 1; m <= s.nvib; ++m) {
        s.vibs(m) = c.frequencies[std::size_t(m - 1)];
    }

    s.ngeom = 0;
    Walk second(s, c, true);
    while (marked.next(line, found, second.inblock())) {
        second.line(line, found);
    }
    second.end();
    second.sequence().finish();
    // The orientation of a FORCE run is the frame of its normal modes.
    int g = 0;
    if ((s.idgeo < 1 || s.idgeo > s.ngeom) && second.forcegeometry > 0) {
        g = second.forcegeometry;
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = s.xgeo(k, a, g);
            }
        }
    } else {
        g = selectgeometry(s);
    }
    if (!c.finished) {
        noteunfinished(s, g);
    }
}
