// Reads the text output of an AMS run: every atom table as one geometry of the sequence, the
// frequency table with intensities, one displacement table per mode, linear-transit points and
// the results of a frequency scan. A first pass counts so that the tables can be created, a
// second pass stores; the selected geometry becomes the final structure.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <ostream>

namespace {

constexpr std::string_view jobmarker = "Fragment File(s)";
constexpr std::string_view atomtable = "    X Y Z    ";
constexpr std::string_view indextable = "Index Symbol   x (angstrom)   y (angstrom)   z (angstrom)";
constexpr std::string_view finalgeometry = "Final Geometry";
constexpr std::string_view cartesian = "Coordinates (Cartesian)";
constexpr std::string_view cycletable = "Coordinates in Geometry Cycle";
constexpr std::string_view scansummary = "Summary of a frequency scan in the requested range";
constexpr std::string_view frequencytable = "Index   Frequency (cm-1)";
constexpr std::string_view zeropoint = "Zero-point energy";
constexpr std::string_view modeline = "Frequency (cm-1):";
constexpr std::string_view displacements = "Atom      ---- Displacements (x/y/z) ----";
constexpr std::string_view variables = "Geometric Variables";
constexpr std::string_view runtype = "R U N   T Y P E";
constexpr std::string_view ltpoints = "Nr. of points in the Linear Transit scan";
constexpr std::string_view firstlt = "First LT point to handle in this run";
constexpr std::string_view scantable = "Old      New                X         Y         Z";

bool has(std::string_view rec, std::string_view marker) {
    return rec.find(marker) != std::string_view::npos;
}

// State of one run of the reader; the transit-point numbers, the run-type flag and the mode-number
// offset live through both passes.
struct AmsReader {
    Store& s;
    InputFile& in;
    long long nrlt = 0;       // transit points of the scan
    long long idlt = 1;       // number of the current transit point
    bool finalgeo = false;    // a "Final Geometry" line awaits its coordinate table
    int ngeomread = 0;        // "Geometric Variables" tables met
    bool readfrq = false;     // inside the frequency table
    bool frequencies = false; // the run type is FREQUENCIES
    long long offset = -1;    // mode index of the table minus the stored mode number
    long long idmode = 0;     // mode whose displacement table comes next
    bool scanread = false;    // the second pass met a frequency-scan table
    RunFilter runs{s};
    // An atom table brings no energy of its own: each geometry keeps the one known when it is
    // met.
    GeometrySequence sequence{s, "readamsout"};

    // The next line padded to the record length, so markers with trailing blanks match short
    // lines; false at the end of the file.
    bool next(std::string& rec) {
        std::string_view line;
        if (!in.getline(line)) {
            return false;
        }
        record(line, rec);
        return true;
    }

    void firstpass();
    void secondpass();
    void transitpoint();
    void cyclegeometry();
    void geometricvariables();
    void fragments();
    void frequencyline(std::string_view rec);
    void displacementtable();
};

void AmsReader::firstpass() {
    std::string rec;
    while (next(rec)) {
        if (!runs.counting(has(rec, jobmarker)) || has(rec, jobmarker)) {
            continue;
        }
        if (has(rec, atomtable)) {
            s.nat = 0;
            ++s.ngeom;
            readamsoutxyz(s, in, false);
        } else if (has(rec, indextable)) {
            s.nat = 0;
            ++s.ngeom;
            readamsoutxyz2(s, in, false);
        } else if (nrlt >= 1 && has(rec, finalgeometry)) {
            finalgeo = true;
        } else if (finalgeo && has(rec, cartesian)) {
            finalgeo = false;
            ++s.ngeom;
        } else if (has(rec, cycletable)) {
            if (s.nat == 0) {
                readamslogxyz(s, in, false);
                // Room for it: the second pass makes such a table geometry 1.
                ++s.ngeom;
            } else if (ngeomread == 0) {
                ++s.ngeom;
            }
        } else if (has(rec, scansummary)) {
            s.lscanfreq = true;
        } else if (has(rec, frequencytable)) {
            readfrq = true;
            s.nvib = 0;
        } else if (readfrq) {
            const FreeRead f = freerd(rec);
            if (!has(rec, zeropoint) && f.nfndt >= 1) {
                ++s.nvib;
                // The first listed mode becomes mode 1 (a table may start at 7, after the
                // translations and rotations).
                if (offset == -1) {
                    offset = f.fndintegers(1) - 1;
                }
            } else {
                readfrq = false;
            }
        } else if (has(rec, variables)) {
            ++ngeomread;
            ++s.ngeom;
        } else if (has(rec, runtype)) {
            frequencies = has(rec, "FREQUENCIES");
        } else if (has(rec, ltpoints)) {
            nrlt = freerd(rec).fndintegers(1);
        } else if (has(rec, firstlt)) {
            idlt = freerd(rec).fndintegers(1);
        }
    }
}

void AmsReader::secondpass() {
    std::string rec;
    while (next(rec)) {
        if (!runs.reading(has(rec, jobmarker)) || has(rec, jobmarker)) {
            continue;
        }
        // Only the first "X Y Z" table is a geometry; a later one goes on to the other tests.
        if (s.ngeom == 0 && has(rec, atomtable)) {
            s.nat = 0;
            sequence.open(false);
            readamsoutxyz(s, in, true);
        } else if (has(rec, indextable)) {
            s.nat = 0;
            sequence.open(false);
            readamsoutxyz2(s, in, true);
        } else if (nrlt >= 1 && has(rec, finalgeometry)) {
            finalgeo = true;
        } else if (finalgeo && has(rec, cartesian)) {
            transitpoint();
        } else if (has(rec, cycletable)) {
            if (s.nat == 0) {
                // The first table that defines the atoms is a geometry too.
                if (s.ngeom == 0) {
                    sequence.open(false);
                }
                readamslogxyz(s, in, true);
            } else if (ngeomread == 0) {
                cyclegeometry();
            }
        } else if (has(rec, frequencytable)) {
            readfrq = true;
        } else if (readfrq) {
            frequencyline(rec);
        } else if (has(rec, modeline)) {
            idmode = freerd(rec).fndintegers(1) - offset;
        } else if (has(rec, displacements)) {
            displacementtable();
        } else if (!frequencies && has(rec, variables)) {
            geometricvariables();
        } else if (s.ngeom == 0 && has(rec, "FRAGMENTS") && freerd(rec).nfnds == 1) {
            fragments();
        } else if (has(rec, "Total Bonding Energy") || has(rec, "new :")) {
            s.energy = freerd(rec).fndreals(1);
        } else if (has(rec, scantable)) {
            adffrequencyscan(s, in);
            scanread = true;
        } else if (has(rec, runtype)) {
            frequencies = has(rec, "FREQUENCIES");
        }
    }
}

// The Cartesian table after "Final Geometry" of a linear-transit point.
void AmsReader::transitpoint() {
    adftransitpoint(s, in, sequence, idlt, nrlt);
    finalgeo = false;
    ++idlt;
}

// A "Coordinates in Geometry Cycle" table after the atoms are known, in Angstrom.
void AmsReader::cyclegeometry() {
    adfgeometry(s, in, sequence, {1, angstrom_per_bohr, false, "LOG"});
}

// The coordinates printed with the optimisation variables, in Bohr.
void AmsReader::geometricvariables() {
    ++ngeomread;
    adfgeometry(s, in, sequence, {2, 1.0, false, "Geom.Upd."});
}

// A FRAGMENTS table is read only before the first geometry. Every atom table is stored as a
// geometry, so no atoms are known then and there is nothing to place by atom number: only the
// two header lines are passed over.
void AmsReader::fragments() {
    std::string rec;
    if (!next(rec) || !next(rec)) {
        s.log() << "premature end of ADF output file while reading LOG Continuing...\n";
    }
}

// One line of the frequency table: mode index, frequency, intensity; the "Zero-point energy"
// line or an empty line ends the table.
void AmsReader::frequencyline(std::string_view rec) {
    const FreeRead f = freerd(rec);
    if (has(rec, zeropoint) || f.nfndt == 0) {
        readfrq = false;
        return;
    }
    const long long k = f.fndintegers(1) - offset;
    if (k >= 1 && k <= s.nvib) {
        s.vibs(k) = f.fndreals(1);
        s.frqintns(k) = f.fndreals(2);
    }
}

// x, y and z of every atom in mode idmode, one line per atom.
void AmsReader::displacementtable() {
    if (idmode == 0) {
        myexit("IDMODE cannot be 0", "readamsout");
    }
    if (idmode < 0 || idmode > s.nvib) {
        myexit("IDMODE outside the modes counted", "readamsout");
    }
    std::string rec;
    for (int a = 1; a <= s.nat; ++a) {
        if (!next(rec)) {
            return;
        }
        const FreeRead f = freerd(rec);
        for (int k = 1; k <= 3; ++k) {
            s.vibvec(k, a, idmode) = f.fndreals(k);
        }
    }
}

} // namespace

void readamsout(Store& s, InputFile& in) {
    AmsReader r{s, in};
    s.nat = 0;
    r.firstpass();

    if (s.nat == 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readamsout");
    }
    sizestore(s, in, "readamsout");
    r.runs.select();
    // Tables still open at the end of the file say nothing about its first lines.
    r.readfrq = false;
    r.finalgeo = false;
    r.ngeomread = 0;
    s.nat = 0;
    s.ngeom = 0;
    r.secondpass();

    if (s.ngeom < 1) {
        plainstop("no geo read");
    }
    // The selected job may hold only atom tables without atoms.
    if (s.nat == 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readamsout");
    }
    // Without the scan table there are no scanned values to take over.
    if (!r.scanread) {
        s.lscanfreq = false;
    }
    selectgeometry(s);
}
