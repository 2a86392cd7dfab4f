// Reads a Psi4 output: the first coordinate table defines the atoms, every later table is one
// geometry of the sequence with the last total energy read before it, and the frequency table
// and displacement tables give the modes. The table printed after "SCF GRAD" repeats the
// geometry and is skipped.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/store.h"

#include <algorithm>
#include <climits>
#include <iostream>
#include <string>

namespace {

constexpr std::string_view coordheader =
    "Center              X                  Y                   Z               Mass";
constexpr std::string_view freqheader = "Index   Frequency (cm-1)   Intensity (km/mol)";
constexpr std::string_view inbohr = "Geometry (in Bohr)";
constexpr std::string_view inangstrom = "Geometry (in Angstrom)";
constexpr std::string_view scfgradmarker = "SCF GRAD";
constexpr std::string_view zeropoint = "Zero-point energy";
constexpr std::string_view modeline = "Frequency (cm-1):";
constexpr std::string_view displacements = "Atom      ---- Displacements (x/y/z) ----";
constexpr std::string_view totalenergy = "Total Energy =";

// Markers are looked for in the blank-padded record, as in the other output readers.
bool holds(const std::string& rec, std::string_view marker) {
    return rec.find(marker) != std::string::npos;
}

int clampint(long long v) {
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// What the two passes carry from line to line.
struct Psi4State {
    double rconvrs = 1.0; // length factor of the table printed next: Angstrom until told Bohr
    bool scfgrad = false; // the next coordinate table repeats the geometry of a gradient
    bool readfrq = false; // inside the frequency table
    int counted = 0;      // geometry tables of the first pass: the room in the geometry tables
    int idmode = 0;       // the mode whose displacement table comes next
};

// A frequency-table line, or the end of the table.
bool frequencyline(const std::string& rec, const FreeRead& f) {
    return !holds(rec, zeropoint) && f.nfndt >= 1;
}

void countline(Store& s, InputFile& in, std::string_view line, Psi4State& st) {
    const std::string rec = record(line);
    if (holds(rec, coordheader)) {
        if (s.nat == 0 && !st.scfgrad) {
            readpsi4xyz(s, in, false, st.rconvrs);
        } else if (st.scfgrad) {
            st.scfgrad = false;
        } else {
            ++st.counted;
        }
    } else if (holds(rec, inbohr)) {
        st.rconvrs = angstrom_per_bohr;
    } else if (holds(rec, inangstrom)) {
        st.rconvrs = 1.0;
    } else if (holds(rec, scfgradmarker)) {
        st.scfgrad = true;
    } else if (holds(rec, freqheader)) {
        st.readfrq = true;
        s.nvib = 0;
    } else if (st.readfrq) {
        const FreeRead f = freerd(line);
        if (frequencyline(rec, f)) {
            s.nvib = clampint(f.fndintegers(1)); // the last index gives the count
        } else {
            st.readfrq = false;
        }
    }
}

// A later coordinate table: the underline, then one line per atom. Nothing is stored when the
// file ends inside it.
void storegeometry(Store& s, InputFile& in, Psi4State& st) {
    std::string_view line;
    bool whole = in.getline(line);
    for (int i = 1; whole && i <= s.nat; ++i) {
        whole = in.getline(line);
        if (whole) {
            const FreeRead f = freerd(line);
            for (int k = 1; k <= 3; ++k) {
                s.xyztmp(k, i) = st.rconvrs * f.fndreals(k) / angstrom_per_bohr;
            }
        }
    }
    if (!whole) {
        std::cout << "premature end of Psi4 output file while reading Geom.Upd. Continuing...\n";
        return;
    }
    if (s.ngeom >= st.counted) {
        myexit("More geometries than counted", "readpsi4");
    }
    ++s.ngeom;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xgeo(k, a, s.ngeom) = s.xyztmp(k, a);
        }
    }
    s.egeo(s.ngeom) = s.energy;
}

// The displacement table of mode idmode: one line per atom, x, y and z as its first reals.
void storemode(Store& s, InputFile& in, const Psi4State& st) {
    if (st.idmode == 0) {
        myexit("IDMODE cannot be 0", "readpsi4");
    }
    if (st.idmode < 0 || st.idmode > s.nvib) {
        myexit("Mode number outside the counted modes", "readpsi4");
    }
    std::string_view line;
    for (int a = 1; a <= s.nat && in.getline(line); ++a) {
        const FreeRead f = freerd(line);
        for (int k = 1; k <= 3; ++k) {
            s.vibvec(k, a, st.idmode) = f.fndreals(k);
        }
    }
}

void storeline(Store& s, InputFile& in, std::string_view line, Psi4State& st) {
    const std::string rec = record(line);
    if (holds(rec, coordheader)) {
        if (s.nat == 0 && !st.scfgrad) {
            readpsi4xyz(s, in, true, st.rconvrs);
        } else if (st.scfgrad) {
            // The repeated table's lines pass through the main loop.
            st.scfgrad = false;
        } else {
            storegeometry(s, in, st);
        }
    } else if (holds(rec, scfgradmarker)) {
        st.scfgrad = true;
    } else if (holds(rec, inbohr)) {
        st.rconvrs = angstrom_per_bohr;
    } else if (holds(rec, inangstrom)) {
        st.rconvrs = 1.0;
    } else if (holds(rec, freqheader)) {
        st.readfrq = true;
    } else if (st.readfrq) {
        const FreeRead f = freerd(line);
        if (frequencyline(rec, f)) {
            const long long k = f.fndintegers(1);
            if (k >= 1 && k <= s.nvib) {
                s.vibs(k) = f.fndreals(1);
                s.frqintns(k) = f.fndreals(2);
            }
        } else {
            st.readfrq = false;
        }
    } else if (holds(rec, modeline)) {
        st.idmode = clampint(freerd(line).fndintegers(1));
    } else if (holds(rec, displacements)) {
        storemode(s, in, st);
    } else if (holds(rec, totalenergy)) {
        s.energy = freerd(line).fndreals(1);
    }
}

} // namespace

void readpsi4(Store& s, InputFile& in) {
    Psi4State st;
    std::string_view line;
    s.nat = 0;
    in.rewind();
    while (in.getline(line)) {
        countline(s, in, line, st);
    }
    if (s.nat == 0) {
        std::cout << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readpsi4");
    }
    s.nvib = std::max(s.nvib, 0);
    s.ngeom = st.counted;
    allocstuff(s);
    in.rewind();
    // Each pass starts from the same state, so that a table before any units line is read in
    // Angstrom and a frequency table left open at the end of the file does not reach into the
    // first lines.
    st = Psi4State{.counted = st.counted};
    s.nat = 0;
    s.ngeom = 0;
    while (in.getline(line)) {
        storeline(s, in, line, st);
    }
    if (s.nat == 0) {
        myexit("No atoms found", "readpsi4");
    }
    if (s.ngeom >= 2) {
        const long long g = s.idgeo >= 1 && s.idgeo <= s.ngeom ? s.idgeo : s.ngeom;
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = s.xgeo(k, a, g);
            }
        }
    }
}
