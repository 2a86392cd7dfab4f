// Reads the text output of a VESKO run: the atoms, the geometries of an optimisation with their
// energies, the frequencies and normal modes, and for a linear transit the coordinate files of
// every transit point. A first pass counts so that the tables can be created, a second stores.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <array>
#include <ostream>
#include <vector>

namespace {

// The program's banner starts every run in the file; the authors line follows it and starts the
// run's atom count afresh.
constexpr std::string_view banner = "(Variational Electronic Structure Kit for Orbitals)";
constexpr std::string_view authors = "Authors: the VESKO development team";
constexpr std::string_view atomsblock = "Info read from ATOMS block";
constexpr std::string_view frequencylist = "List of all vibrational frequencies";
constexpr std::string_view normalmodes = "Vibrations and Normal Modes";
constexpr std::string_view bohrtable = "atom       nr    x (Bohrs)   y (Bohrs)   z (Bohrs)";
constexpr std::string_view newcoordinatesangs = "New coordinates (angs) and steps";
constexpr std::string_view newcoordinates = "New coordinates and steps";
constexpr std::string_view transitpointend = "Last Geometry in LinearTransit Point";

constexpr std::string_view eofxyz = "premature end of ADF output file while reading XYZ";
constexpr std::string_view eofgeometry =
    "premature end of ADF output file while reading Geom.Upd. Continuing...";

bool has(std::string_view rec, std::string_view marker) {
    return rec.find(marker) != std::string_view::npos;
}

// With dummy atoms added for symmetry, the Bohr table lists them too and is not read.
bool dummyatoms(std::string_view rec) {
    return has(rec, "Adding") && has(rec, "dummy atoms (for ha");
}

struct VeskoReader {
    Store& s;
    InputFile& in;
    long long nrlt = 0; // transit points of the scan
    long long idlt = 0; // number of the current transit point
    RunFilter runs{s};
    GeometrySequence sequence{s, "readvesko"};

    // The next line padded to the record length; false at the end of the file.
    bool next(std::string& rec) {
        std::string_view line;
        if (!in.getline(line)) {
            return false;
        }
        record(line, rec);
        return true;
    }

    // Passes over n lines; false, after printing the message once, at the end of the file.
    bool skip(int n, std::string_view eofmessage) {
        std::string rec;
        for (int i = 1; i <= n; ++i) {
            if (!next(rec)) {
                s.log() << eofmessage << '\n';
                return false;
            }
        }
        return true;
    }

    // One Angstrom coordinate line per atom into xyztmp; false at the end of the file.
    bool readxyztmp() {
        std::string rec;
        for (int a = 1; a <= s.nat; ++a) {
            if (!next(rec)) {
                s.log() << eofgeometry << '\n';
                return false;
            }
            const FreeRead f = freerd(rec);
            for (int k = 1; k <= 3; ++k) {
                s.xyztmp(k, a) = f.fndreals(k) / angstrom_per_bohr;
            }
        }
        return true;
    }

    void firstpass();
    void secondpass();
    void geometry();
    void transitpoint();
    void transitfile(const std::string& name, const std::string& suffix, bool withtitle);
};

void VeskoReader::firstpass() {
    bool dummies = false;
    bool inlist = false; // inside the list of all frequencies
    std::string rec;
    while (next(rec)) {
        if (!runs.counting(has(rec, banner))) {
            continue;
        }
        if (has(rec, atomsblock)) {
            readveskostart(s, in, false);
        } else if (has(rec, authors)) {
            s.nat = 0;
        } else if (dummyatoms(rec)) {
            dummies = true;
        } else if (has(rec, frequencylist)) {
            inlist = true;
            s.nvib = 0;
        } else if (inlist) {
            if (has(rec, normalmodes)) {
                inlist = false;
            } else {
                // Lines without numbers before the first frequency are passed over; after it,
                // the first such line ends the list.
                const int reals = freerd(rec).nfndr;
                s.nvib += reals;
                inlist = reals > 0 || s.nvib < 1;
            }
        } else if (has(rec, bohrtable)) {
            if (!dummies) {
                readveskostart2(s, in, false);
            }
        } else if (has(rec, newcoordinatesangs)) {
            ++s.ngeom;
        } else if (has(rec, "nrlt:")) {
            // "nrlt:" is the k-th name on the line and its value the k-th integer.
            const FreeRead f = freerd(rec);
            for (int k = 1; k <= 3; ++k) {
                if (f.fndstrings(k).starts_with("nrlt:")) {
                    nrlt = f.fndintegers(k);
                    break;
                }
            }
        } else if (has(rec, newcoordinates)) {
            ++s.ngeom;
        }
    }
}

void VeskoReader::secondpass() {
    bool dummies = false;
    bool modes = false; // the frequency list has been seen; its normal modes follow
    std::string rec;
    while (next(rec)) {
        if (!runs.reading(has(rec, banner))) {
            continue;
        }
        if (has(rec, atomsblock)) {
            readveskostart(s, in, true);
        } else if (has(rec, frequencylist)) {
            modes = true;
        } else if (modes && has(rec, normalmodes)) {
            adfnormalmodes(s, in, "readvesko", true);
            modes = false;
        } else if (has(rec, authors)) {
            s.nat = 0;
        } else if (dummyatoms(rec)) {
            dummies = true;
        } else if (has(rec, bohrtable)) {
            if (!dummies) {
                readveskostart2(s, in, true);
            }
        } else if (has(rec, newcoordinatesangs)) {
            skip(2, eofxyz);
            geometry();
        } else if (has(rec, newcoordinates)) {
            geometry();
        } else if (has(rec, transitpointend)) {
            ++idlt;
            if (!s.nolt) {
                transitpoint();
            }
        } else if (has(rec, "Total Bonding Energy") || has(rec, "Vesko Bonding Energy")) {
            s.energy = freerd(rec).fndreals(1);
        }
    }
}

// The coordinates of an optimisation step, in Angstrom, become the next geometry with the energy
// known at this point.
void VeskoReader::geometry() {
    if (readxyztmp()) {
        sequence.append(false);
    }
}

// The last geometry of a transit point goes, in Angstrom, to a coordinate file with the point's
// energy in its title and to a bare ".angs" atom list; it does not join the geometry sequence.
void VeskoReader::transitpoint() {
    skip(2, eofxyz);
    if (!readxyztmp()) {
        return;
    }
    skip(8, "premature end of VESKO output file while reading LinearTransit part ...");
    const std::string suffix = getsuffix2(idlt, nrlt);
    const std::string name = s.outputfile + ".lt" + suffix + ".xyz";
    transitfile(name, suffix, true);
    transitfile(name.substr(0, name.size() - 4) + ".angs", suffix, false);
}

// A file that cannot be created is skipped; the run goes on without it.
void VeskoReader::transitfile(const std::string& name, const std::string& suffix, bool withtitle) {
    refuseoverwrite(s, name);
    OutputFile out;
    const bool opened = out.open(s.path(name));
    s.log() << "opening " << name << '\n';
    if (!opened) {
        return;
    }
    if (withtitle) {
        out.line(fw::I(s.nat, 4));
        // The point's own energy, when printed right after it, in its third number.
        double e = s.energy;
        std::string rec;
        if (!next(rec)) {
            s.log() << eofxyz << '\n';
        } else if (has(rec, "Total Bonding Energ")) {
            e = freerd(rec).fndreals(3);
        }
        // "LT-Step", the point's suffix, 3 blanks, energy (kcal/mol) F15.4
        std::string title = "LT-Step" + suffix + "   ";
        fw::F(title, e * kcal_per_hartree, 15, 4);
        out.line(title);
    }
    for (const std::string& atom : ltatomlines(s)) {
        out.line(atom);
    }
    if (!out.close()) {
        myexit("Error writing LT " + std::string(withtitle ? "xyz" : "angs") + " file",
               "readvesko");
    }
}

} // namespace

void readvesko(Store& s, InputFile& in) {
    VeskoReader r{s, in};
    s.nat = 0;
    r.firstpass();

    if (s.nat == 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readvesko");
    }
    sizestore(s, in, "readvesko");
    r.runs.select();
    s.nat = 0;
    s.ngeom = 0;
    r.secondpass();

    // The selected run may hold no atom table of its own.
    if (s.nat == 0) {
        s.log() << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readvesko");
    }
    if (s.ngeom >= 2) {
        s.energy = s.egeo(selectgeometry(s));
    }
}
