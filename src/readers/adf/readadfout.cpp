// Reads the text output of an ADF run: the atoms, the geometries of an optimisation or linear
// transit with their energies, frequencies with intensities and normal modes, and the results of
// a frequency scan. A first pass counts so that the tables can be created, a second pass stores.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markedlines.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace {

// The markers looked for on every line, found in one pass over it (in this order).
enum Marker : std::uint64_t {
    jobmarker = 1 << 0,
    atomtable = 1 << 1,
    finalgeometry = 1 << 2,
    cartesian = 1 << 3,
    cycletable = 1 << 4,
    scansummary = 1 << 5,
    intensities = 1 << 6,
    variables = 1 << 7,
    runtype = 1 << 8,
    ltpoints = 1 << 9,
    firstlt = 1 << 10,
    normalmodes = 1 << 11,
    scantable = 1 << 12,
    fragmentsword = 1 << 13,
    bondingenergy = 1 << 14,
    newenergy = 1 << 15,
    currentenergy = 1 << 16,
    normalend = 1 << 17,
    inputorientation = 1 << 18,
};
MarkerSet markers() {
    return MarkerSet{
        "Fragment File(s)",
        "    X Y Z    ",
        "Final Geometry",
        "Coordinates (Cartesian)",
        "Coordinates in Geometry Cycle",
        "Summary of a frequency scan in the requested range",
        "cm-1           1e-40 esu2 cm2          km/mole",
        "Geometric Variables",
        "R U N   T Y P E",
        "Nr. of points in the Linear Transit scan",
        "First LT point to handle in this run",
        "Vibrations and Normal Modes  ***  (cartesian coordinates, NOT mass-weighted)  ***",
        "Old      New                X         Y         Z",
        "FRAGMENTS",
        "Total Bonding Energy",
        "new :",
        "current energy",
        "NORMAL TERMINATION",
        "in Input Orientation",
    };
}

bool has(std::uint64_t found, Marker m) {
    return (found & m) != 0;
}

bool has(std::string_view rec, std::string_view marker) {
    return rec.find(marker) != std::string_view::npos;
}

// A step's coordinates printed again in the frame of the input, which some versions add to
// every "Coordinates (Cartesian)" table of an optimisation.
bool inputorientationtable(std::uint64_t found, std::string_view line) {
    return has(found, inputorientation) && has(line, "Coordinates");
}

// No scan has 10^18 points; beyond that the point numbers, counted on one per point, would
// overflow.
long long ltnumber(long long n) {
    constexpr long long most = 1000000000000000000LL;
    return std::clamp(n, -most, most);
}

// State of one run of the reader; the transit-point numbers and the run-type flag live
// through both passes.
struct AdfReader {
    Store& s;
    InputFile& in;
    long long nrlt = 0;       // transit points of the scan
    long long idlt = 1;       // number of the current transit point
    bool finalgeo = false;    // a "Final Geometry" line awaits its coordinate table
    int ngeomread = 0;        // "Geometric Variables" tables met
    bool readfrq = false;     // inside an intensity table
    bool frequencies = false; // the run type is FREQUENCIES
    bool scanread = false;    // the second pass met a frequency-scan table
    // The run prints each step twice, in the frame of the atom table ("Coordinates (Cartesian)")
    // and in that of the input: the sequence then takes the first, start geometry included.
    bool twoframes = false;
    int cartesiantables = 0;    // "Coordinates (Cartesian)" tables of the first pass
    bool finished = false;      // the selected run reached its normal end
    std::string_view current{}; // the line last read, as it stands
    const MarkerSet set = markers();
    MarkedLines marked{in, set};
    RunFilter runs{s};
    GeometrySequence sequence{s, "readadfout"};

    // The next line, as it stands (the marker search pads it where a marker ends in blanks);
    // false at the end of the file.
    bool next() { return in.getline(current); }
    bool nextmarked(std::uint64_t& found);

    void firstpass();
    void secondpass();
    void transitpoint();
    void cartesiangeometry();
    void cyclegeometry();
    void geometricvariables();
    void fragments();
};

// Lines without a marker matter only inside an intensity table.
bool AdfReader::nextmarked(std::uint64_t& found) {
    return marked.next(current, found, readfrq);
}

void AdfReader::firstpass() {
    std::uint64_t found = 0;
    while (nextmarked(found)) {
        if (!runs.counting(has(found, jobmarker)) || has(found, jobmarker)) {
            continue;
        }
        if (inputorientationtable(found, current)) {
            twoframes = true;
        }
        if (has(found, atomtable)) {
            s.nat = 0;
            readadfoutxyz(s, in, false);
        } else if (nrlt >= 1 && has(found, finalgeometry)) {
            finalgeo = true;
        } else if (finalgeo && has(found, cartesian)) {
            finalgeo = false;
            ++s.ngeom;
        } else if (has(found, cartesian) && !has(found, inputorientation)) {
            ++cartesiantables;
        } else if (has(found, cycletable)) {
            if (s.nat == 0) {
                readadflogxyz(s, in, false);
            } else if (ngeomread == 0) {
                ++s.ngeom;
            }
        } else if (has(found, scansummary)) {
            s.lscanfreq = true;
        } else if (has(found, intensities)) {
            readfrq = true;
            s.nvib = -1; // the underline below the header brings the count to 0
        } else if (readfrq) {
            if (freerd(current).nfndt == 0) {
                readfrq = false;
            } else {
                ++s.nvib;
            }
        } else if (has(found, variables)) {
            ++ngeomread;
            ++s.ngeom;
        } else if (has(found, runtype)) {
            frequencies = has(current, "FREQUENCIES");
        } else if (has(found, ltpoints)) {
            nrlt = ltnumber(freerd(current).fndintegers(1));
        } else if (has(found, firstlt)) {
            idlt = ltnumber(freerd(current).fndintegers(1));
        }
    }
}

void AdfReader::secondpass() {
    int counter = 0; // lines of the current intensity table
    std::uint64_t found = 0;
    while (nextmarked(found)) {
        if (!runs.reading(has(found, jobmarker)) || has(found, jobmarker)) {
            continue;
        }
        if (has(found, normalend)) {
            finished = true;
        }
        if (has(found, atomtable)) {
            s.nat = 0;
            readadfoutxyz(s, in, true);
        } else if (nrlt >= 1 && has(found, finalgeometry)) {
            finalgeo = true;
        } else if (finalgeo && has(found, cartesian)) {
            transitpoint();
        } else if (twoframes && !frequencies && has(found, cartesian) &&
                   !has(found, inputorientation)) {
            cartesiangeometry();
        } else if (has(found, cycletable)) {
            if (s.nat == 0) {
                readadflogxyz(s, in, true);
            } else if (ngeomread == 0) {
                cyclegeometry();
            }
        } else if (has(found, intensities)) {
            readfrq = true;
            counter = -1;
        } else if (readfrq) {
            const FreeRead f = freerd(current);
            if (f.nfndt == 0) {
                readfrq = false;
            } else {
                ++counter;
                if (counter >= 1 && counter <= s.nvib) {
                    s.frqintns(counter) = f.fndreals(3);
                }
            }
        } else if (has(found, normalmodes)) {
            adfnormalmodes(s, in, "readadfout", false);
        } else if (!frequencies && !twoframes && has(found, variables)) {
            geometricvariables();
        } else if (has(found, fragmentsword) && freerd(current).nfnds == 1) {
            fragments();
        } else if (has(found, bondingenergy) || has(found, newenergy) ||
                   has(found, currentenergy)) {
            sequence.energy(freerd(current).fndreals(1));
        } else if (has(found, scantable)) {
            adffrequencyscan(s, in);
            scanread = true;
        } else if (has(found, runtype)) {
            frequencies = has(current, "FREQUENCIES");
        }
    }
}

// The Cartesian table after "Final Geometry" of a linear-transit point.
void AdfReader::transitpoint() {
    adftransitpoint(s, in, sequence, idlt, nrlt);
    finalgeo = false;
    ++idlt;
}

// A "Coordinates in Geometry Cycle" table after the atoms are known, in Angstrom.
void AdfReader::cyclegeometry() {
    adfgeometry(s, in, sequence, {1, angstrom_per_bohr, true, "LOG"});
}

// A "Coordinates (Cartesian)" table of a run that prints its steps in two frames: header lines
// up to the underline, then one line per atom, Bohr before Angstrom where both are printed.
void AdfReader::cartesiangeometry() {
    double unitsperbohr = 1.0;
    bool underline = false;
    for (int header = 1; header <= 6 && !underline; ++header) {
        if (!next()) {
            break;
        }
        if (has(current, "angstrom") && !has(current, "bohr")) {
            unitsperbohr = angstrom_per_bohr;
        }
        underline = has(current, "-----");
    }
    ++ngeomread;
    if (!underline) {
        s.log() << "premature end of ADF output file while reading Geom.Upd. Continuing...\n";
        return;
    }
    adfgeometry(s, in, sequence, {0, unitsperbohr, true, "Geom.Upd."});
}

// The coordinates printed with the optimisation variables, in Bohr.
void AdfReader::geometricvariables() {
    ++ngeomread;
    adfgeometry(s, in, sequence, {2, 1.0, true, "Geom.Upd."});
}

// The FRAGMENTS table lists the atoms fragment by fragment; the last integer of a line is the
// atom's number in the molecule, in Angstrom.
void AdfReader::fragments() {
    bool complete = next() && next();
    for (int line = 1; line <= s.nat && complete; ++line) {
        complete = next();
        if (complete) {
            const FreeRead f = freerd(current);
            const long long a = f.fndintegers(f.nfndi);
            if (f.nfndi < 1 || a < 1 || a > s.nat) {
                myexit("Atom number out of range in FRAGMENTS table", "readadfout");
            }
            for (int k = 1; k <= 3; ++k) {
                s.xyztmp(k, a) = f.fndreals(k) / angstrom_per_bohr;
            }
        }
    }
    if (!complete) {
        s.log() << "premature end of ADF output file while reading LOG Continuing...\n";
        return;
    }
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xyz(k, a) = s.xyztmp(k, a);
        }
    }
}

} // namespace

void readadfout(Store& s, InputFile& in) {
    AdfReader r{s, in};
    s.nat = 0;
    r.firstpass();

    if (s.nat == 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readadfout");
    }
    if (r.twoframes) {
        s.ngeom += r.cartesiantables;
    }
    // A header that ends the file, or is followed by a blank line, counts no mode.
    if (s.nvib < 0) {
        s.nvib = 0;
    }
    sizestore(s, in, "readadfout");
    r.runs.select();
    // Transit points are written while reading: refuse a clash before the first one. Each
    // takes a geometry, so the count of geometries bounds them.
    if (r.nrlt >= 1) {
        refuseltpoints(s, r.idlt, s.ngeom, r.nrlt);
    }
    // Tables still open at the end of the file say nothing about its first lines.
    r.readfrq = false;
    r.finalgeo = false;
    r.ngeomread = 0;
    s.nat = 0;
    s.ngeom = 0;
    r.secondpass();

    // The selected job may hold no atom table of its own.
    if (s.nat == 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readadfout");
    }
    // Without the scan table there are no scanned values to take over.
    if (!r.scanread) {
        s.lscanfreq = false;
    }
    r.sequence.finish();
    const int final = s.ngeom >= 2 ? selectgeometry(s) : 0;
    if (!r.finished) {
        noteunfinished(s, final);
    }
}
