// Reads the text output of an ADF run: the atoms, the geometries of an optimisation or linear
// transit with their energies, frequencies with intensities and normal modes, and the results of
// a frequency scan. A first pass counts so that the tables can be created, a second pass stores.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markerset.h"
#include "readers/readers.h"
#include "store/store.h"

#include <algorithm>
#include <array>
#include <iostream>

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
    };
}

bool has(std::uint64_t found, Marker m) {
    return (found & m) != 0;
}

bool has(std::string_view rec, std::string_view marker) {
    return rec.find(marker) != std::string_view::npos;
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
    long long nrlt = 0;         // transit points of the scan
    long long idlt = 1;         // number of the current transit point
    bool finalgeo = false;      // a "Final Geometry" line awaits its coordinate table
    int ngeomread = 0;          // "Geometric Variables" tables met
    bool readfrq = false;       // inside an intensity table
    bool frequencies = false;   // the run type is FREQUENCIES
    int ngeomcounted = 0;       // what the first pass found room for
    bool scanread = false;      // the second pass met a frequency-scan table
    std::string_view current{}; // the line last read, as it stands
    const MarkerSet set = markers();

    // The next line padded to the record length, so markers with trailing blanks match short
    // lines; false at the end of the file.
    bool next(std::string& rec) {
        if (!in.getline(current)) {
            return false;
        }
        // In place, so that no line costs an allocation.
        rec.assign(current);
        rec.resize(recordlength, ' ');
        return true;
    }

    void firstpass();
    void secondpass();
    void storegeometry();
    void transitpoint();
    void cyclegeometry();
    void geometricvariables();
    void fragments();
    void normalmodeblock();
};

void AdfReader::firstpass() {
    std::string rec;
    while (next(rec)) {
        const std::uint64_t found = set.find(current);
        if (has(found, jobmarker)) {
            ++s.nrjobs;
            continue;
        }
        if (s.job != 0 && s.job != s.nrjobs) {
            continue;
        }
        if (has(found, atomtable)) {
            s.nat = 0;
            readadfoutxyz(s, in, false);
        } else if (nrlt >= 1 && has(found, finalgeometry)) {
            finalgeo = true;
        } else if (finalgeo && has(found, cartesian)) {
            finalgeo = false;
            ++s.ngeom;
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
            if (freerd(rec).nfndt == 0) {
                readfrq = false;
            } else {
                ++s.nvib;
            }
        } else if (has(found, variables)) {
            ++ngeomread;
            ++s.ngeom;
        } else if (has(found, runtype)) {
            frequencies = has(rec, "FREQUENCIES");
        } else if (has(found, ltpoints)) {
            nrlt = ltnumber(freerd(rec).fndintegers(1));
        } else if (has(found, firstlt)) {
            idlt = ltnumber(freerd(rec).fndintegers(1));
        }
    }
}

void AdfReader::secondpass() {
    std::string rec;
    long long jobcounter = 0;
    int counter = 0; // lines of the current intensity table
    while (next(rec)) {
        const std::uint64_t found = set.find(current);
        if (has(found, jobmarker)) {
            ++jobcounter;
            continue;
        }
        if (s.job != 0 && jobcounter != s.job) {
            continue;
        }
        if (has(found, atomtable)) {
            s.nat = 0;
            readadfoutxyz(s, in, true);
        } else if (nrlt >= 1 && has(found, finalgeometry)) {
            finalgeo = true;
        } else if (finalgeo && has(found, cartesian)) {
            transitpoint();
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
            const FreeRead f = freerd(rec);
            if (f.nfndt == 0) {
                readfrq = false;
            } else {
                ++counter;
                if (counter >= 1 && counter <= s.nvib) {
                    s.frqintns(counter) = f.fndreals(3);
                }
            }
        } else if (has(found, normalmodes)) {
            normalmodeblock();
        } else if (!frequencies && has(found, variables)) {
            geometricvariables();
        } else if (has(found, fragmentsword) && freerd(rec).nfnds == 1) {
            fragments();
        } else if (has(found, bondingenergy) || has(found, newenergy)) {
            s.energy = freerd(rec).fndreals(1);
        } else if (has(found, scantable)) {
            adffrequencyscan(s, in);
            scanread = true;
        } else if (has(found, runtype)) {
            frequencies = has(rec, "FREQUENCIES");
        }
    }
}

// xyztmp becomes the next geometry of the sequence, with the energy known at this point.
void AdfReader::storegeometry() {
    if (s.ngeom >= ngeomcounted) {
        myexit("More geometries than counted", "readadfout");
    }
    ++s.ngeom;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xgeo(k, a, s.ngeom) = s.xyztmp(k, a);
        }
    }
    s.egeo(s.ngeom) = s.energy;
}

// The Cartesian table after "Final Geometry" of a linear-transit point, in Bohr.
void AdfReader::transitpoint() {
    const int end = adfcoordinates(s, in, 5, 1.0);
    if (end == 1) {
        std::cout << "premature end of ADF output file while reading Final.Geom. Continuing...\n";
    } else if (end == 2) {
        std::cout << "premature end of ADF output file while reading Geom.Upd. Continuing...\n";
    } else {
        storegeometry();
        writeltpoint(s, getsuffix2(idlt, nrlt));
    }
    finalgeo = false;
    ++idlt;
}

// A "Coordinates in Geometry Cycle" table after the atoms are known, in Angstrom.
void AdfReader::cyclegeometry() {
    if (adfcoordinates(s, in, 1, angstrom_per_bohr) != 0) {
        std::cout << "premature end of ADF output file while reading LOG Continuing...\n";
        return;
    }
    storegeometry();
}

// The coordinates printed with the optimisation variables, in Bohr.
void AdfReader::geometricvariables() {
    const bool complete = adfcoordinates(s, in, 2, 1.0) == 0;
    ++ngeomread;
    if (!complete) {
        std::cout << "premature end of ADF output file while reading Geom.Upd. Continuing...\n";
        return;
    }
    storegeometry();
}

// The FRAGMENTS table lists the atoms fragment by fragment; the last integer of a line is the
// atom's number in the molecule, in Angstrom.
void AdfReader::fragments() {
    std::string rec;
    bool complete = next(rec) && next(rec);
    for (int line = 1; line <= s.nat && complete; ++line) {
        complete = next(rec);
        if (complete) {
            const FreeRead f = freerd(rec);
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
        std::cout << "premature end of ADF output file while reading LOG Continuing...\n";
        return;
    }
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xyz(k, a) = s.xyztmp(k, a);
        }
    }
}

// Groups of at most three modes: a line of frequencies, an underline, one line per atom with
// x, y, z of each mode. Runs until as many modes are stored as the intensity table counted.
void AdfReader::normalmodeblock() {
    int ivib = 0;
    std::string rec;
    while (next(rec)) {
        const FreeRead f = freerd(rec);
        if (f.nfndr >= 1 && f.nfndr == f.nfndt) {
            const int modes = f.nfndr;
            if (modes > 3) {
                myexit("More than three modes on a frequency line", "readadfout");
            }
            if (ivib + modes > s.nvib) {
                myexit("More modes than counted", "readadfout");
            }
            const std::array<double, 3> freq{f.fndreals(1), f.fndreals(2), f.fndreals(3)};
            if (!next(rec)) {
                return;
            }
            for (int a = 1; a <= s.nat; ++a) {
                if (!next(rec)) {
                    return;
                }
                const FreeRead d = freerd(rec);
                if (d.nfndr != 3 * modes) {
                    std::cout << "Error reading normal mode vectors\n";
                    continue;
                }
                for (int m = 1; m <= modes; ++m) {
                    for (int k = 1; k <= 3; ++k) {
                        s.vibvec(k, a, ivib + m) = d.fndreals(3 * (m - 1) + k);
                    }
                }
            }
            for (int m = 1; m <= modes; ++m) {
                s.vibs(ivib + m) = freq[std::size_t(m - 1)];
            }
            ivib += modes;
        }
        if (ivib == s.nvib) {
            return;
        }
    }
}

} // namespace

void readadfout(Store& s, InputFile& in) {
    AdfReader r{s, in};
    s.nat = 0;
    r.firstpass();

    if (s.nat == 0) {
        std::cout << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readadfout");
    }
    // A header that ends the file, or is followed by a blank line, counts no mode.
    if (s.nvib < 0) {
        s.nvib = 0;
    }
    allocstuff(s);
    if (s.job == 0) {
        s.job = s.nrjobs;
    }
    // Transit points are written while reading: refuse a clash before the first one. Each
    // takes a geometry, so the count of geometries bounds them.
    if (r.nrlt >= 1) {
        refuseltpoints(s, r.idlt, s.ngeom, r.nrlt);
    }
    in.rewind();
    // Tables still open at the end of the file say nothing about its first lines.
    r.readfrq = false;
    r.finalgeo = false;
    r.ngeomread = 0;
    r.ngeomcounted = s.ngeom;
    s.nat = 0;
    s.ngeom = 0;
    r.secondpass();

    // The selected job may hold no atom table of its own.
    if (s.nat == 0) {
        std::cout << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readadfout");
    }
    // Without the scan table there are no scanned values to take over.
    if (!r.scanread) {
        s.lscanfreq = false;
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
