// Reads the keyword control input. Keywords count only in upper case at column 1, tried in a
// fixed order where the first match acts; the type field sits in columns 5 to 10 and file
// names start at a fixed column.
#include "control/control.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "control/freeread.h"
#include "store/store.h"

#include <istream>
#include <ostream>

namespace {

constexpr std::size_t filenamelength = 100;

// Columns 5 to 10, upper-cased, without the blanks around it.
std::string typefield(std::string_view rec) {
    const std::string up = upcase(rec.substr(4, 6));
    return std::string(trimright(trimleft(up)));
}

// A file name from the given column to the end of the record, without the blanks around it.
std::string filefield(std::string_view rec, std::size_t column) {
    const std::string_view name = trimright(trimleft(rec.substr(column - 1)));
    if (name.size() > filenamelength) {
        myexit("File name longer than 100 characters", "processinput");
    }
    return std::string(name);
}

bool starts(std::string_view rec, std::string_view keyword) {
    return rec.starts_with(keyword);
}

// Identities whose job scripts use the alternative settings. The first is compared on its
// first 11 characters only, so a longer line still matches; the others on the whole line.
bool useridentity(std::string_view rec) {
    // Every line is asked; only one that starts with USER in some case is worth a copy.
    if (rec.empty() || (rec[0] != 'U' && rec[0] != 'u')) {
        return false;
    }
    const std::string up = upcase(rec);
    return std::string_view(up).substr(0, 11) == "USER ALTER " ||
           trimright(up) == "USER ALTERNATE" || trimright(up) == "USER MASSIE";
}

using Rec = std::string_view;

// Tried in this order; the first keyword that starts the line acts. IN and OUT have no long
// option: on the command line they are the positional arguments.
constexpr KeywordEntry table[] = {
    {"IN",
     "",
     {},
     "type in columns 5-10, file name from column 12",
     "the file to read and its type",
     "none",
     [](Store& s, Rec rec) {
         s.inputtype = typefield(rec);
         s.inputfile = filefield(rec, 12);
     }},
    {"OUT",
     "",
     {},
     "type in columns 5-10, file name from column 12",
     "the file to write and its type",
     "none",
     [](Store& s, Rec rec) {
         s.outputtype = typefield(rec);
         s.outputfile = filefield(rec, 12);
     }},
    {"ISOTP",
     "isotopes",
     {ValueKind::file, 1},
     "file name from column 7",
     "atom numbers and new masses for the vibrations",
     "none",
     [](Store& s, Rec rec) {
         s.lisotp = true;
         s.nisotp = 0;
         s.isotpfile = filefield(rec, 7);
     }},
    {"MODELSTART",
     "model-start",
     {ValueKind::integer, 1},
     "integer",
     "number of the first model of a multi-model PDB file",
     "0",
     [](Store& s, Rec rec) { s.modelstart = freerd(rec).fndintegers(1); }},
    {"IDOFTL",
     "first-to-last",
     {ValueKind::integer, 1},
     "integer",
     "1 or more: geometries first to last; otherwise last to first",
     "1",
     [](Store& s, Rec rec) { s.idoftl = freerd(rec).fndintegers(1) >= 1 ? 1 : 0; }},
    {"ORDER",
     "order",
     {ValueKind::file, 1},
     "file name as the second field",
     "the atom order, one atom number per line",
     "input order",
     [](Store& s, Rec rec) {
         const FreeRead f = freerd(rec);
         if (f.nfndt < 2) {
             return;
         }
         if (f.fndlength(2) > int(filenamelength)) {
             myexit("File name longer than 100 characters", "processinput");
         }
         if (f.fndlength(2) > FreeRead::maxstring) {
             myexit("File name longer than 80 characters", "processinput");
         }
         s.inporder = true;
         s.inporderfile = std::string(f.fndstrings(2));
     }},
    {"ORIENT",
     "orient",
     {ValueKind::integer, 3},
     "three integers",
     "first atom to the origin, second on the z axis, third in the xz plane",
     "off",
     [](Store& s, Rec rec) {
         const FreeRead f = freerd(rec);
         if (f.nfndi >= 3) {
             s.idorient = {f.fndintegers(1), f.fndintegers(2), f.fndintegers(3)};
             s.reorient = true;
         }
     }},
    {"RANGE",
     "range",
     {ValueKind::integer, 2},
     "two integers",
     "first and last geometry written, 0 for no limit",
     "0 0",
     [](Store& s, Rec rec) {
         const FreeRead f = freerd(rec);
         if (f.nfndi >= 2) {
             s.idrange = {f.fndintegers(1), f.fndintegers(2)};
         }
     }},
    {"MXVIBS",
     "modes",
     {ValueKind::integer, 1},
     "integer",
     "number of modes animated",
     "3",
     [](Store& s, Rec rec) { s.mxvibs = freerd(rec).fndintegers(1); }},
    {"FRQR",
     "freq-range",
     {ValueKind::real, 2},
     "two reals",
     "lower and upper frequency limit of the animated modes",
     "1.0 0.0",
     [](Store& s, Rec rec) {
         const FreeRead f = freerd(rec);
         s.rminfrq = f.fndreals(1);
         s.rmaxfrq = f.fndreals(2);
     }},
    {"SYS",
     "system",
     {ValueKind::type, 1},
     "type in columns 5-10",
     "system of the job-script header",
     "blank",
     [](Store& s, Rec rec) { s.systemtype = typefield(rec); }},
    {"REORDER",
     "reorder",
     {},
     "",
     "chemical order: each heavy atom followed by its hydrogens",
     "off",
     [](Store& s, Rec) { s.reorder = true; }},
    {"DEBUG",
     "debug",
     {},
     "",
     "verbose, with extra listings",
     "off",
     [](Store& s, Rec) {
         s.verbose = true;
         s.debug = true;
     }},
    {"VERBOSE", "verbose", {}, "", "more messages", "off", [](Store& s, Rec) { s.verbose = true; }},
    {"KMATRIX",
     "kmatrix",
     {ValueKind::file, 1},
     "file name from column 9",
     "Z-matrix reference atoms, line n for atom n; cancels REORDER",
     "none",
     [](Store& s, Rec rec) {
         s.newkmatrix = true;
         s.kmatrixfile = filefield(rec, 9);
     }},
    {"JOB",
     "job",
     {ValueKind::integer, 1},
     "integer",
     "which run of a multi-run output file to read, 0 the last",
     "0",
     [](Store& s, Rec rec) { s.job = freerd(rec).fndintegers(1); }},
    {"IDGEO ",
     "geometry",
     {ValueKind::integer, 1},
     "integer",
     "which geometry becomes the final structure; out of range the last",
     "last",
     [](Store& s, Rec rec) { s.idgeo = freerd(rec).fndintegers(1); }},
    {"DISTORTSEL",
     "distort-select",
     {ValueKind::word, 1},
     "word as the second field",
     "which displaced geometries to write (first 6 characters)",
     "ALL",
     [](Store& s, Rec rec) {
         s.distortsel = std::string(trimright(fixedtext(freerd(rec).fndstrings(2), 6)));
     }},
    {"FDISTORT",
     "distort-length",
     {ValueKind::real, 1},
     "real",
     "scale of the displacements along imaginary modes",
     "1.0",
     [](Store& s, Rec rec) { s.fdistort = freerd(rec).fndreals(1); }},
    {"NOLT",
     "no-transit-points",
     {ValueKind::word, 1},
     "word as the second field",
     "TRUE: no transit-point files",
     "off",
     [](Store& s, Rec rec) { s.nolt = upcase(freerd(rec).fndstrings(2)) == "TRUE"; }},
    {"IDTSRC",
     "ts-mode",
     {ValueKind::integer, 1},
     "integer",
     "the transition-state mode: the imaginary mode displaced along when DISTORTSEL is not ALL, "
     "and left out of the TS pair of files; 0 the mode with the lowest frequency",
     "0",
     [](Store& s, Rec rec) { s.idtsrc = freerd(rec).fndintegers(1); }},
    {"CHARGE",
     "charge",
     {ValueKind::integer, 1},
     "integer",
     "charge of the molecule in ORCA and Gaussian inputs",
     "the run's, else 0",
     [](Store& s, Rec rec) {
         const FreeRead f = freerd(rec);
         if (f.nfndi >= 1) {
             s.charge = f.fndintegers(1);
         }
     }},
    {"MULT",
     "mult",
     {ValueKind::integer, 1},
     "integer",
     "spin multiplicity in ORCA and Gaussian inputs",
     "the run's, else 1",
     [](Store& s, Rec rec) {
         const FreeRead f = freerd(rec);
         if (f.nfndi >= 1) {
             if (f.fndintegers(1) < 1) {
                 myexit("MULT must be 1 or more", "processinput");
             }
             s.mult = f.fndintegers(1);
         }
     }},
    {"METHOD",
     "method",
     {ValueKind::text, 1},
     "text, the rest of the line",
     "method line of ORCA and Gaussian inputs (ORCA \"!\" line, Gaussian route)",
     "the run's, else a stated default",
     [](Store& s, Rec rec) { s.method = std::string(trimright(trimleft(rec.substr(6)))); }},
};

} // namespace

void applycontrolline(Store& s, std::string_view rec) {
    for (const KeywordEntry& k : table) {
        if (starts(rec, k.keyword)) {
            k.apply(s, rec);
            return;
        }
    }
    // The USER line is told by its whole text, after every keyword.
    if (useridentity(rec)) {
        s.massie = true;
    }
}

void processinput(Store& s, std::istream& control) {
    std::string line;
    while (std::getline(control, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        applycontrolline(s, record(line));
    }
    checkoptions(s);
}

std::span<const KeywordEntry> keywords() {
    return table;
}
