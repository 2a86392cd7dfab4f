// Reads a Psi4 output: the first coordinate table defines the atoms and is the first geometry,
// every later table is the next geometry with the energy of the job's method computed at it, and
// the frequency tables give the modes. The table printed after "SCF GRAD" repeats the geometry and
// is skipped, and so are the displaced points of a finite-difference frequency run.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markedlines.h"
#include "readers/readers.h"
#include "store/store.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The markers looked for on every line, found in one pass over it (in this order).
enum Marker : std::uint64_t {
    coordheader = 1U << 0,
    inbohr = 1U << 1,
    inangstrom = 1U << 2,
    scfgradmarker = 1U << 3,
    indexheader = 1U << 4,
    zeropoint = 1U << 5,
    modeline = 1U << 6,
    displacements = 1U << 7,
    scfenergy = 1U << 8,
    harmonic = 1U << 9,
    fdgradients = 1U << 10,
    fdenergies = 1U << 11,
    exiting = 1U << 12,
    vibrationrow = 1U << 13,
    freqrow = 1U << 14,
    irrow = 1U << 15,
    totalcapital = 1U << 16,
    totalsmall = 1U << 17,
};
MarkerSet markers() {
    return MarkerSet{
        "Center              X                  Y                   Z               Mass",
        "Geometry (in Bohr)",
        "Geometry (in Angstrom)",
        "SCF GRAD",
        "Index   Frequency (cm-1)   Intensity (km/mol)",
        "Zero-point energy",
        "Frequency (cm-1):",
        "Atom      ---- Displacements (x/y/z) ----",
        "Total Energy =",
        "==> Harmonic Vibrational Analysis <==",
        "Using finite-differences of gradients to determine vibrational",
        "Using finite-differences of energies to determine vibrational",
        "Psi4 exiting successfully",
        "Vibration",
        "Freq [cm^-1]",
        "IR activ [km/mol]",
        "Total Energy",
        "total energy",
    };
}

constexpr std::string_view freqlabel = "Freq [cm^-1]";
constexpr std::string_view irlabel = "IR activ [km/mol]";

bool has(std::uint64_t found, Marker m) {
    return (found & m) != 0;
}

// A correlated method's total energy at the current geometry, as its module prints it:
// "* CCSD(T) total energy = ..." (the coupled-cluster modules), "MP2 Total Energy (a.u.) : ..."
// (the orbital-optimised and density-fitted modules), "Total Energy = ... [Eh]" in the DF-MP2
// block. Spin-component-scaled totals belong to no method that was run.
struct MethodTotal {
    std::string_view method; // empty when the line gives no method's total
    double value = 0.0;
};
MethodTotal methodtotal(std::string_view line) {
    const std::string_view text = trimblanks(line);
    constexpr std::string_view small = "total energy";
    constexpr std::string_view atomic = "Total Energy (a.u.)";
    constexpr std::string_view capital = "Total Energy";
    MethodTotal t;
    std::string_view rest;
    std::size_t at = 0;
    if (text.starts_with('*') && (at = text.find(small)) != std::string_view::npos) {
        t.method = trimblanks(text.substr(1, at - 1));
        rest = text.substr(at + small.size());
    } else if ((at = text.find(atomic)) != std::string_view::npos) {
        t.method = trimblanks(text.substr(0, at));
        rest = text.substr(at + atomic.size());
    } else if (text.starts_with(capital) && text.ends_with("[Eh]")) {
        t.method = "DF-MP2";
        rest = text.substr(capital.size());
    }
    if (t.method.empty() || t.method.find("SCS") != std::string_view::npos ||
        t.method.find("SOS") != std::string_view::npos) {
        return {};
    }
    const FreeRead f = freerd(rest);
    if (f.nfndr < 1) {
        return {};
    }
    t.value = f.fndreals(1);
    return t;
}

// A frequency of the harmonic-analysis table: "123.45", or "123.45i" for an imaginary one, which
// is stored negative. False for anything else.
bool harmonicfrequency(std::string_view token, double& value) {
    const bool imaginary = token.ends_with('i');
    const FreeRead f = freerd(imaginary ? token.substr(0, token.size() - 1) : token);
    if (f.nfndt != 1 || (f.nfndr != 1 && f.nfndi != 1)) {
        return false;
    }
    value = f.nfndr == 1 ? f.fndreals(1) : double(f.fndintegers(1));
    if (imaginary) {
        value = -std::abs(value);
    }
    return true;
}

// The harmonic-analysis table may list translations and rotations among the modes; the molecule
// has 3N-6 vibrations (3N-5 when linear), and the surplus modes nearest to 0 cm-1 are the
// external ones. The modes kept close up in their order.
void dropexternalmodes(Store& s, int g) {
    const bool linear = g >= 1 ? linearmolecule(s, g) : s.nat <= 2;
    const int vibrations = std::max(3 * s.nat - (linear ? 5 : 6), 0);
    int surplus = s.nvib - vibrations;
    if (surplus <= 0) {
        return;
    }
    std::vector<bool> dropped(std::size_t(s.nvib) + 1, false);
    for (; surplus > 0; --surplus) {
        int nearest = 0;
        for (int m = 1; m <= s.nvib; ++m) {
            if (!dropped[std::size_t(m)] &&
                (nearest == 0 || std::abs(s.vibs(m)) < std::abs(s.vibs(nearest)))) {
                nearest = m;
            }
        }
        dropped[std::size_t(nearest)] = true;
    }
    int kept = 0;
    for (int m = 1; m <= s.nvib; ++m) {
        if (dropped[std::size_t(m)]) {
            continue;
        }
        ++kept;
        s.vibs(kept) = s.vibs(m);
        s.frqintns(kept) = s.frqintns(m);
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.vibvec(k, a, kept) = s.vibvec(k, a, m);
            }
        }
    }
    s.nvib = kept;
}

// The state a pass carries from line to line; each pass starts from a fresh one, so that a table
// before any units line is read in Angstrom and a frequency table left open at the end of the
// file does not reach into the first lines.
struct Walk {
    double rconvrs = 1.0;       // length factor of the table printed next: Angstrom until told Bohr
    bool scfgrad = false;       // the next coordinate table repeats the geometry of a gradient
    bool readfrq = false;       // inside an index-frequency-intensity table
    int idmode = 0;             // the mode whose displacement table comes next
    int tables = 0;             // geometries of this pass
    bool displaced = false;     // between the finite-difference header and the harmonic analysis
    bool atpoints = false;      // a displaced point was met: energies are not the sequence's
    int blockmodes = 0;         // modes of the harmonic-analysis block read so far
    int groupfirst = 0;         // the first of the modes of the current "Vibration" row
    int groupsize = 0;          // how many they are; 0 outside a group
    bool grouprows = false;     // the group's atom rows come next
    bool harmonictable = false; // the last frequency table has the harmonic-analysis layout
    int indexed = 0;            // the last index of the last index-frequency table
    int mostmodes = 0;          // the largest mode number or count of the harmonic-analysis blocks
};

// The integer after a "name =" in the text; nullopt when there is none.
std::optional<long long> valueafter(std::string_view text, std::string_view name) {
    const std::size_t at = text.find(name);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rest = trimleft(text.substr(at + name.size()));
    long long value = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    return ec == std::errc() ? std::optional<long long>(value) : std::nullopt;
}

// "Geometry (in Angstrom), charge = 0, multiplicity = 1:"
void chargeandmultiplicity(Store& s, std::string_view text) {
    const std::optional<long long> charge = valueafter(text, "charge =");
    const std::optional<long long> mult = valueafter(text, "multiplicity =");
    if (charge && mult && *mult >= 1) {
        s.runcharge = clampint(*charge);
        s.runmult = clampint(*mult);
    }
}

// One run of the reader. Both passes walk the file with the same rules, the first one counting
// and the second one storing, so that they agree on what is a geometry and a mode.
struct Psi4Reader {
    Store& s;
    InputFile& in;
    GeometrySequence seq;
    const MarkerSet set = markers();
    MarkedLines marked{in, set};
    bool store = false;
    std::string method; // the correlated method whose totals are the energies; empty: SCF's
    bool finished = false;
    Walk w;

    Psi4Reader(Store& store_, InputFile& in_) : s(store_), in(in_), seq(store_, "readpsi4") {}

    void pass() {
        w = Walk{};
        std::string_view text;
        std::uint64_t found = 0;
        // Lines without a marker matter only in the vibrations' tables and groups.
        while (marked.next(text, found, w.readfrq || w.groupsize > 0 || w.grouprows)) {
            line(text, found);
        }
    }
    void line(std::string_view text, std::uint64_t found);
    void coordinatetable();
    void storegeometry();
    void storemode();
    void indexline(std::string_view text, std::uint64_t found);
    void vibrationgroup(std::string_view text);
    void groupvalues(std::string_view text, std::string_view label, bool frequencies);
    bool atomrow(std::string_view text);
    void energy(double e);
};

void Psi4Reader::line(std::string_view text, std::uint64_t found) {
    if (w.grouprows && atomrow(text)) {
        return;
    }
    if (w.groupsize > 0 && !w.grouprows && trimblanks(text).starts_with("---")) {
        w.grouprows = true;
        return;
    }
    if (found == 0 && !w.readfrq) {
        return;
    }
    if (has(found, coordheader)) {
        coordinatetable();
    } else if (has(found, scfgradmarker) && (store || (found & (inbohr | inangstrom)) == 0)) {
        // The first pass takes a line that also names the units as a units line.
        w.scfgrad = true;
    } else if (has(found, inbohr) || has(found, inangstrom)) {
        w.rconvrs = has(found, inbohr) ? angstrom_per_bohr : 1.0;
        if (store) {
            chargeandmultiplicity(s, text);
        }
    } else if (has(found, indexheader)) {
        w.readfrq = true;
        w.harmonictable = false;
        w.indexed = 0;
    } else if (w.readfrq) {
        indexline(text, found);
    } else if (has(found, modeline)) {
        w.idmode = clampint(freerd(text).fndintegers(1));
    } else if (has(found, displacements)) {
        storemode();
    } else if (has(found, harmonic)) {
        // The displaced points of a finite-difference run end here.
        w.displaced = false;
        w.atpoints = false;
        w.blockmodes = 0;
        w.groupsize = 0;
    } else if (has(found, fdgradients) || has(found, fdenergies)) {
        w.displaced = true;
    } else if (has(found, exiting)) {
        finished = true;
    } else if (has(found, vibrationrow)) {
        vibrationgroup(text);
    } else if (has(found, freqrow)) {
        groupvalues(text, freqlabel, true);
    } else if (has(found, irrow)) {
        groupvalues(text, irlabel, false);
    } else if (has(found, totalcapital) || has(found, totalsmall)) {
        const MethodTotal t = methodtotal(text);
        if (!store && !t.method.empty()) {
            // The job's method is the one whose total is printed last.
            method = t.method;
        } else if (!method.empty() && t.method == method) {
            energy(t.value);
        } else if (method.empty() && has(found, scfenergy)) {
            energy(freerd(text).fndreals(1));
        }
    }
}

// After a coordinate header: the first table defines the atoms and is geometry 1; a table after
// "SCF GRAD" repeats its step and passes through the main loop; in a finite-difference run the
// tables after the reference geometry are displaced points; every other table is a geometry.
void Psi4Reader::coordinatetable() {
    if (w.scfgrad) {
        w.scfgrad = false;
        return;
    }
    if (s.nat == 0) {
        readpsi4xyz(s, in, store, w.rconvrs);
        if (s.nat == 0) {
            return;
        }
        ++w.tables;
        if (store) {
            for (int a = 1; a <= s.nat; ++a) {
                for (int k = 1; k <= 3; ++k) {
                    s.xyztmp(k, a) = s.xyz(k, a);
                }
            }
            seq.append();
        }
    } else if (w.displaced && w.tables >= 1) {
        w.atpoints = true;
    } else if (store) {
        storegeometry();
    } else {
        ++w.tables;
    }
}

// A later coordinate table: the underline, then one line per atom. Nothing is stored when the
// file ends inside it.
void Psi4Reader::storegeometry() {
    std::string_view text;
    bool whole = in.getline(text);
    for (int i = 1; whole && i <= s.nat; ++i) {
        whole = in.getline(text);
        if (whole) {
            const FreeRead f = freerd(text);
            for (int k = 1; k <= 3; ++k) {
                s.xyztmp(k, i) = w.rconvrs * f.fndreals(k) / angstrom_per_bohr;
            }
        }
    }
    if (!whole) {
        s.log() << "premature end of Psi4 output file while reading Geom.Upd. Continuing...\n";
        return;
    }
    ++w.tables;
    seq.append();
}

// The displacement table of mode idmode: one line per atom, x, y and z as its first reals.
void Psi4Reader::storemode() {
    if (!store) {
        return;
    }
    if (w.idmode == 0) {
        myexit("IDMODE cannot be 0", "readpsi4");
    }
    if (w.idmode < 0 || w.idmode > s.nvib) {
        myexit("Mode number outside the counted modes", "readpsi4");
    }
    std::string_view text;
    for (int a = 1; a <= s.nat && in.getline(text); ++a) {
        const FreeRead f = freerd(text);
        for (int k = 1; k <= 3; ++k) {
            s.vibvec(k, a, w.idmode) = f.fndreals(k);
        }
    }
}

// A line of an index-frequency-intensity table, or the end of the table. The first pass takes
// the last index as the count.
void Psi4Reader::indexline(std::string_view text, std::uint64_t found) {
    const FreeRead f = freerd(text);
    if (has(found, zeropoint) || f.nfndt < 1) {
        w.readfrq = false;
        return;
    }
    const long long k = f.fndintegers(1);
    if (!store) {
        w.indexed = clampint(k);
    } else if (k >= 1 && k <= s.nvib) {
        s.vibs(k) = f.fndreals(1);
        s.frqintns(k) = f.fndreals(2);
    }
}

// "Vibration  7  8  9" opens a group of modes of the harmonic analysis, which take the next
// places of the block in the order printed once their frequencies are read. The first pass sizes
// the modes by the larger of the places and the printed numbers, so a number beyond 3N is refused
// before anything is sized.
void Psi4Reader::vibrationgroup(std::string_view text) {
    const FreeRead f = freerd(text);
    if (f.fndstrings(1) != "Vibration" || f.nfnds != 1 || f.nfndr != 0 || f.nfndi < 1 ||
        f.fndorder(1).kind != FieldKind::string) {
        return;
    }
    w.harmonictable = true;
    w.groupfirst = w.blockmodes + 1;
    w.groupsize = f.nfndi;
    w.grouprows = false;
    if (!store) {
        w.mostmodes = std::max(w.mostmodes, w.groupfirst + w.groupsize - 1);
        for (int k = 1; k <= f.nfndi; ++k) {
            w.mostmodes = std::max(w.mostmodes, clampint(f.fndintegers(k)));
        }
    }
}

// The frequencies or IR intensities of the current group, after their row label. A group whose
// frequencies were not printed (the file cut off before them) adds no modes.
void Psi4Reader::groupvalues(std::string_view text, std::string_view label, bool frequencies) {
    if (w.groupsize == 0) {
        return;
    }
    if (frequencies) {
        w.blockmodes = w.groupfirst + w.groupsize - 1;
    }
    if (!store) {
        return;
    }
    std::string_view rest = text.substr(text.find(label) + label.size());
    for (int j = 0; j < w.groupsize; ++j) {
        rest = trimblanks(rest);
        const std::size_t end = std::min(rest.find_first_of(" \t"), rest.size());
        const std::string_view token = rest.substr(0, end);
        rest = rest.substr(end);
        const int m = w.groupfirst + j;
        double value = 0.0;
        if (token.empty() || m > s.nvib) {
            return;
        }
        if (frequencies && harmonicfrequency(token, value)) {
            s.vibs(m) = value;
        } else if (!frequencies) {
            const FreeRead f = freerd(token);
            if (f.nfndr == 1) {
                s.frqintns(m) = f.fndreals(1);
            }
        }
    }
}

// An atom row of the current group: the atom's number, its symbol, then x, y and z for each
// mode. Any other line ends the group.
bool Psi4Reader::atomrow(std::string_view text) {
    const FreeRead f = freerd(text);
    const long long a = f.fndintegers(1);
    if (f.nfndi < 1 || f.fndorder(1).kind != FieldKind::integer || a < 1 || a > s.nat ||
        f.nfndr < 3 * w.groupsize) {
        w.grouprows = false;
        w.groupsize = 0;
        return false;
    }
    if (store) {
        for (int j = 0; j < w.groupsize && w.groupfirst + j <= s.nvib; ++j) {
            for (int k = 1; k <= 3; ++k) {
                s.vibvec(k, int(a), w.groupfirst + j) = f.fndreals(3 * j + k);
            }
        }
    }
    return true;
}

// An energy of the job's method; those of displaced points are not the sequence's.
void Psi4Reader::energy(double e) {
    if (store && !w.atpoints) {
        seq.energy(e);
    }
}

} // namespace

void readpsi4(Store& s, InputFile& in) {
    Psi4Reader r(s, in);
    s.nat = 0;
    in.rewind();
    r.pass();
    if (s.nat == 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readpsi4");
    }
    s.nvib = std::max({r.w.indexed, r.w.mostmodes, 0});
    s.ngeom = r.w.tables;
    sizestore(s, in, "readpsi4");
    s.nat = 0;
    s.ngeom = 0;
    r.store = true;
    r.pass();
    if (s.nat == 0) {
        myexit("No atoms found", "readpsi4");
    }
    r.seq.finish();
    const int g = s.ngeom >= 1 ? selectgeometry(s) : 0;
    if (r.w.harmonictable) {
        s.nvib = r.w.blockmodes;
        dropexternalmodes(s, g);
    }
    if (!r.finished) {
        noteunfinished(s, g);
    }
}
