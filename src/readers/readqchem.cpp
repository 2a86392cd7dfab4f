// Reads a Q-Chem output: every "Standard Nuclear Orientation" table of the chosen job as one
// geometry of the sequence, each with the energy of the job's method computed at it, and the
// frequencies, IR intensities and normal modes of its vibrational analysis. The optimiser's
// "Coordinates" blocks repeat the tables and are not read.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markedlines.h"
#include "readers/readers.h"
#include "store/store.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr std::string_view routine = "readqchem";

// The markers looked for on every line outside a table, found in one pass over it (in this
// order).
enum Marker : std::uint64_t {
    runningjob = 1U << 0,
    welcome = 1U << 1,
    orientation = 1U << 2,
    scfenergy = 1U << 3,
    totalsmall = 1U << 4,
    totalcapital = 1U << 5,
    finalenergy = 1U << 6,
    vibrations = 1U << 7,
    frequency = 1U << 8,
    irintensity = 1U << 9,
    transdip = 1U << 10,
    thankyou = 1U << 11,
    moleculeblock = 1U << 12,
};
constexpr std::uint64_t jobstarts = runningjob | welcome;

MarkerSet markers() {
    return MarkerSet{
        "Running Job",
        "Welcome to Q-Chem",
        "Standard Nuclear Orientation",
        "Total energy",
        "total energy",
        "TOTAL ENERGY",
        "Final energy is",
        "VIBRATIONAL ANALYSIS",
        "Frequency:",
        "IR Intens:",
        "TransDip",
        "Thank you very much for using Q-Chem",
        "$molecule",
    };
}

// The first real after the first "=" of the line; false when there is none.
bool valueafterequals(std::string_view line, double& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    const FreeRead f = freerd(line.substr(equals + 1));
    if (f.nfndr < 1 || f.fndorder(1).kind != FieldKind::real) {
        return false;
    }
    value = f.fndreals(1);
    return true;
}

// A method's name as Q-Chem prints it before its total: "MP2", "RI-MP2", "CCSD(T)". A word of
// a sentence has small letters and is none; spin-component-scaled totals belong to no method
// that was run.
bool methodname(std::string_view name) {
    bool letter = false;
    for (const char c : name) {
        if (c >= 'A' && c <= 'Z') {
            letter = true;
        } else if (!((c >= '0' && c <= '9') || c == '-' || c == '(' || c == ')')) {
            return false;
        }
    }
    return letter && name.find("SCS") == std::string_view::npos &&
           name.find("SOS") == std::string_view::npos;
}

// A correlated method's total energy: "MP2         total energy =   -75.00228214 au",
// "RI-MP2 TOTAL ENERGY = ...", "CCSD total energy = ...", however the words are spaced.
struct MethodTotal {
    std::string_view method; // empty when the line gives no method's total
    double value = 0.0;
};
MethodTotal methodtotal(std::string_view line, std::uint64_t found) {
    const std::string_view text = trimblanks(line);
    const std::size_t at = text.find((found & totalsmall) ? "total energy" : "TOTAL ENERGY");
    if (at == std::string_view::npos) {
        return {};
    }
    MethodTotal t;
    t.method = trimblanks(text.substr(0, at));
    const std::string_view rest = trimblanks(text.substr(at + 12));
    if (!methodname(t.method) || !rest.starts_with('=') || !valueafterequals(rest, t.value)) {
        return {};
    }
    return t;
}

// The SCF energy: "Total energy in the final basis set = E", or "Total energy = E" as newer
// versions print it; not "Total energy for state 1: E" of an excited state.
bool scfenergyline(std::string_view line) {
    constexpr std::string_view total = "Total energy";
    const std::string_view text = trimblanks(line);
    if (!text.starts_with(total)) {
        return false;
    }
    const std::string_view rest = trimblanks(text.substr(total.size()));
    return rest.starts_with('=') || rest.starts_with("in the final basis set");
}

bool dashes(std::string_view line) {
    const std::string_view text = trimblanks(line);
    return !text.empty() && text.find_first_not_of('-') == std::string_view::npos;
}

// A row of an orientation table: number, symbol, x, y, z.
bool atomrow(const FreeRead& f) {
    return f.fndorder(1).kind == FieldKind::integer && f.fndorder(2).kind == FieldKind::string &&
           f.nfndr >= 3;
}

// Lines between a table's marker and its first row (the column heads and a rule); beyond these
// the marker was no table's.
constexpr int headinglines = 3;

enum class Part { none, heading, rows };

// A job begins at "Running Job N of M" where Q-Chem prints it, else at its welcome banner; a
// banner and a "Running Job" line with nothing of a job between them open one job.
struct JobStart {
    std::uint64_t opener = 0; // the line that opened a job nothing has yet been read of

    bool opens(std::string_view line, std::uint64_t found) {
        const std::string_view text = trimblanks(line);
        std::uint64_t kind = 0;
        if ((found & runningjob) && text.starts_with("Running Job")) {
            kind = runningjob;
        } else if ((found & welcome) && text.starts_with("Welcome to Q-Chem")) {
            kind = welcome;
        }
        if (kind == 0) {
            if (found & ~jobstarts) {
                opener = 0;
            }
            return false;
        }
        const bool same = opener != 0 && opener != kind;
        opener = same ? 0 : kind;
        return !same;
    }
};

// The state a pass carries from line to line; each pass starts from a fresh one.
struct Walk {
    JobStart jobs;
    bool reached = false;    // the chosen job has begun
    bool chargeline = false; // the line after "$molecule": charge and multiplicity
    // The orientation table under way.
    Part table = Part::none;
    int heading = 0;     // its heading lines so far
    int atoms = 0;       // its rows so far
    bool keep = false;   // it is a geometry of the molecule (second pass)
    double tobohr = 1.0; // factor of its coordinates to Bohr
    std::size_t tableno = 0;
    int closedatoms = 0; // rows of the last table a non-row line closed (first pass)
    // The vibrational analysis under way.
    bool analysis = false;
    int modes = 0;          // of the analysis so far
    int groupfirst = 0;     // the first mode of the current "Frequency:" group
    int groupsize = 0;      // its modes; 0 when no group is open
    bool awaitrows = false; // the group's "X Y Z" head comes next
    bool rows = false;      // inside the group's displacement rows
    int rowatom = 0;        // rows of the group so far
    int whole = 0;          // leading modes of the analysis whose every row was read
};

// One run of the reader. Both passes walk the file with the same rules, the first one counting
// and the second one storing, so that they agree on what is a table, a geometry and a mode.
struct QchemReader {
    Store& s;
    InputFile& in;
    const MarkerSet set = markers();
    MarkedLines marked{in, set};
    RunFilter runs;
    GeometrySequence seq;
    bool store = false;
    std::vector<int> tableatoms; // rows of each table of the chosen job, from the first pass
    std::string method;          // the correlated method whose totals are the energies
    bool decoded = false;        // the atoms' elements are known
    bool finished = false;
    Walk w;

    QchemReader(Store& store_, InputFile& in_)
        : s(store_), in(in_), runs(store_), seq(store_, routine) {}

    void pass();
    void line(std::string_view text, std::uint64_t found);
    bool tableline(std::string_view text);
    void addrow(const FreeRead& f, std::string_view text);
    void closetable();
    void newjob();
    void energyline(std::string_view text, std::uint64_t found);
    void openanalysis();
    void frequencies(std::string_view text);
    void intensities(std::string_view text);
    bool moderow(std::string_view text);
    void closegroup();
    void finishmodes();
    int molecule() const;
};

void QchemReader::pass() {
    w = Walk{};
    std::string_view text;
    std::uint64_t found = 0;
    // Lines without a marker matter only in the molecule block, the orientation tables and the
    // vibrations' rows.
    while (
        marked.next(text, found, w.chargeline || w.table != Part::none || w.rows || w.awaitrows)) {
        line(text, found);
    }
    if (w.table == Part::rows) {
        // A table the end of the file cuts is still a geometry when it is whole.
        if (store && w.keep && w.atoms == s.nat) {
            seq.append();
            decoded = true;
        }
    }
    closegroup();
}

void QchemReader::line(std::string_view text, std::uint64_t found) {
    if (w.chargeline) {
        // "0 1", or "read" for the molecule of the job before
        w.chargeline = false;
        const FreeRead f = freerd(text);
        if (f.nfndt == 2 && f.nfndi == 2 && f.fndintegers(2) >= 1) {
            s.runcharge = clampint(f.fndintegers(1));
            s.runmult = clampint(f.fndintegers(2));
        }
    }
    if (w.table != Part::none && tableline(text)) {
        return;
    }
    if (w.rows && moderow(text)) {
        return;
    }
    if (found == 0 && !w.awaitrows) {
        return;
    }
    const bool opens = w.jobs.opens(text, found);
    const bool chosen = store ? runs.reading(opens) : runs.counting(opens);
    // The program ended normally when its closing line follows the chosen job's start: Q-Chem
    // begins a job only once the one before it has ended.
    if (store && (found & thankyou) && (chosen || w.reached)) {
        finished = true;
    }
    if (!chosen) {
        return;
    }
    w.reached = true;
    if (opens) {
        newjob();
    } else if (found & moleculeblock) {
        w.chargeline = store;
    } else if (found & orientation) {
        w.table = Part::heading;
        w.heading = 0;
        w.atoms = 0;
        w.tobohr = text.find("Bohr") != std::string_view::npos ? 1.0 : 1.0 / angstrom_per_bohr;
        if (store) {
            w.keep = w.tableno < tableatoms.size() && tableatoms[w.tableno] == s.nat;
        } else {
            tableatoms.push_back(0);
        }
        ++w.tableno;
    } else if (found & (scfenergy | totalsmall | totalcapital | finalenergy)) {
        energyline(text, found);
    } else if (found & vibrations) {
        openanalysis();
    } else if (w.analysis && (found & frequency)) {
        frequencies(text);
    } else if (w.groupsize > 0 && (found & irintensity)) {
        intensities(text);
    } else if (found & transdip) {
        w.awaitrows = false;
    } else if (w.awaitrows) {
        // The head of the displacement rows: "X Y Z" once per mode of the group.
        const FreeRead f = freerd(text);
        if (f.nfndt > 0 && f.nfnds == f.nfndt && f.fndstrings(1) == "X") {
            w.awaitrows = false;
            w.rows = true;
            w.rowatom = 0;
        }
    }
}

// With JOB 0 the first pass follows every job, and the last one's counts stand.
void QchemReader::newjob() {
    closegroup();
    w.analysis = false;
    w.groupsize = 0;
    w.awaitrows = false;
    if (!store) {
        tableatoms.clear();
        w.tableno = 0;
        w.closedatoms = 0;
        method.clear();
        s.nvib = 0;
    }
}

// A line of an orientation table under way: the column heads and the rule before the rows, then
// one row per atom up to the closing rule. False for a line that ends the table and is then
// looked at as any other.
bool QchemReader::tableline(std::string_view text) {
    if (w.table == Part::heading) {
        if (dashes(text)) {
            w.table = Part::rows;
            return true;
        }
        const FreeRead f = freerd(text);
        if (atomrow(f)) {
            w.table = Part::rows;
            addrow(f, text);
            return true;
        }
        if (++w.heading > headinglines) {
            w.table = Part::none;
            return false;
        }
        return true;
    }
    const FreeRead f = freerd(text);
    if (atomrow(f)) {
        addrow(f, text);
        return true;
    }
    closetable();
    return false;
}

// One atom row. Only the tables of the molecule are stored, and the elements only from the
// first of them; later tables keep that atom order.
void QchemReader::addrow(const FreeRead& f, std::string_view text) {
    const int a = ++w.atoms;
    if (!store) {
        tableatoms.back() = a;
        return;
    }
    if (!w.keep || a > s.nat) {
        return;
    }
    for (int k = 1; k <= 3; ++k) {
        s.xyztmp(k, a) = f.fndreals(k) * w.tobohr;
    }
    if (!decoded) {
        s.iat(a) = tagelement(s.log(), f, text, routine, 0.0);
        s.inpcoor = 1;
    }
}

void QchemReader::closetable() {
    w.table = Part::none;
    if (!store) {
        if (w.atoms > 0) {
            w.closedatoms = w.atoms;
        }
    } else if (w.keep && w.atoms == s.nat) {
        seq.append();
        decoded = true;
    }
}

// The molecule is the atoms of the last table a rule closed (a table the end of the file cuts
// may lack atoms), or of the last table when none was closed.
int QchemReader::molecule() const {
    if (w.closedatoms > 0 || tableatoms.empty()) {
        return w.closedatoms;
    }
    return tableatoms.back();
}

// SCF energies are the job's unless the job prints a correlated method's total: then that
// method's, the one whose total is printed last. The optimiser's final energy is always the
// job's method.
void QchemReader::energyline(std::string_view text, std::uint64_t found) {
    if (found & (totalsmall | totalcapital)) {
        const MethodTotal t = methodtotal(text, found);
        if (t.method.empty()) {
            return;
        }
        if (!store) {
            method = t.method;
        } else if (t.method == method) {
            seq.energy(t.value);
        }
        return;
    }
    if (!store) {
        return;
    }
    if (found & finalenergy) {
        const FreeRead f = freerd(text);
        if (f.nfndr >= 1) {
            seq.energy(f.fndreals(1));
        }
        return;
    }
    double value = 0.0;
    if (method.empty() && scfenergyline(text) && valueafterequals(text, value)) {
        seq.energy(value);
    }
}

// A vibrational analysis replaces any earlier one of the job.
void QchemReader::openanalysis() {
    closegroup();
    w.analysis = true;
    w.modes = 0;
    w.whole = 0;
    w.groupsize = 0;
    w.awaitrows = false;
    if (!store) {
        s.nvib = 0;
        return;
    }
    for (int m = 1; m <= s.nvib; ++m) {
        s.vibs(m) = 0.0;
        s.frqintns(m) = 0.0;
    }
}

// "Frequency:" and one value per mode of the group, imaginary ones negative as printed.
void QchemReader::frequencies(std::string_view text) {
    closegroup();
    const FreeRead f = freerd(text);
    w.groupfirst = w.modes + 1;
    w.groupsize = f.nfndr;
    w.modes += f.nfndr;
    w.awaitrows = f.nfndr > 0;
    w.rowatom = 0;
    if (!store) {
        s.nvib = w.modes;
        return;
    }
    for (int j = 1; j <= f.nfndr && w.groupfirst + j - 1 <= s.nvib; ++j) {
        s.vibs(w.groupfirst + j - 1) = f.fndreals(j);
    }
}

void QchemReader::intensities(std::string_view text) {
    if (!store) {
        return;
    }
    const FreeRead f = freerd(text);
    for (int j = 1; j <= std::min(f.nfndr, w.groupsize) && w.groupfirst + j - 1 <= s.nvib; ++j) {
        s.frqintns(w.groupfirst + j - 1) = f.fndreals(j);
    }
}

// A displacement row of the group: the atom's symbol, then x, y and z for each mode. Any other
// line ("TransDip") ends the rows and is looked at as any other.
bool QchemReader::moderow(std::string_view text) {
    const FreeRead f = freerd(text);
    if (f.nfndt < 1 || f.fndorder(1).kind != FieldKind::string || f.nfndr < 3 * w.groupsize ||
        f.fndstrings(1) == "TransDip") {
        closegroup();
        return false;
    }
    const int a = ++w.rowatom;
    if (store && a <= s.nat) {
        for (int j = 0; j < w.groupsize && w.groupfirst + j <= s.nvib; ++j) {
            for (int k = 1; k <= 3; ++k) {
                s.vibvec(k, a, w.groupfirst + j) = f.fndreals(3 * j + k);
            }
        }
    }
    return true;
}

// The group's rows are over: its modes count as read in full when a row came for every atom and
// every mode before them was.
void QchemReader::closegroup() {
    if (w.rows && w.rowatom >= s.nat && w.whole == w.groupfirst - 1) {
        w.whole = w.groupfirst + w.groupsize - 1;
    }
    w.rows = false;
    w.awaitrows = false;
}

// Only the leading modes read in full are kept, so that no frequency goes out with a partial
// displacement.
void QchemReader::finishmodes() {
    const int kept = std::min(w.whole, s.nvib);
    if (kept < s.nvib) {
        s.log() << " The normal modes end early: " << kept << " of the " << s.nvib
                << " vibrations are read in full and kept.\n";
    }
    s.nvib = kept;
}

} // namespace

void readqchem(Store& s, InputFile& in) {
    QchemReader r(s, in);
    s.nat = 0;
    s.nvib = 0;
    in.rewind();
    r.pass();
    s.nat = r.molecule();
    if (s.nat == 0) {
        myexit("No atoms found", routine);
    }
    s.ngeom = int(std::count(r.tableatoms.begin(), r.tableatoms.end(), s.nat));
    sizestore(s, in, routine);
    r.runs.select();
    s.ngeom = 0;
    r.store = true;
    r.pass();
    r.seq.finish();
    if (s.ngeom == 0) {
        myexit("No coordinates found", routine);
    }
    r.finishmodes();
    const int g = selectgeometry(s);
    if (!r.finished) {
        noteunfinished(s, g);
    }
}
