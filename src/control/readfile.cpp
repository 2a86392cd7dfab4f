// Opens the input file and hands it to the reader of its type, converts internal coordinates to
// Cartesian ones, then reads the K-matrix and isotope side files the control input named.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/detect.h"
#include "control/dispatch.h"
#include "control/filehead.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <array>
#include <ostream>

namespace {

// Content tests: a program's output is told by its banner, plain coordinate files by their layout.
Fit banner(bool found) {
    return found ? Fit::program : Fit::none;
}

// Every non-blank line an atom line: a label and x, y, z.
Fit atomlist(const FileHead& h) {
    bool any = false;
    for (const std::string_view line : h.lines()) {
        if (trimright(line).empty()) {
            continue;
        }
        if (!FileHead::atomline(line)) {
            return Fit::none;
        }
        any = true;
    }
    return any ? Fit::shape : Fit::none;
}

// Three header lines, then atom lines of which one at least carries the optimisation flags or
// the reference atoms.
Fit mopacinput(const FileHead& h) {
    const std::span<const std::string_view> lines = h.lines();
    bool flagged = false;
    for (std::size_t k = 3; k < lines.size() && !trimright(lines[k]).empty(); ++k) {
        if (!FileHead::atomline(lines[k])) {
            return Fit::none;
        }
        flagged = flagged || FileHead::atomline(lines[k], 6);
    }
    return flagged ? Fit::shape : Fit::none;
}

bool pdbrecords(const FileHead& h) {
    for (const std::string_view line : h.lines()) {
        if (line.starts_with("ATOM  ") || line.starts_with("HETATM")) {
            return true;
        }
    }
    return false;
}

bool nwchembanner(const FileHead& h) {
    return h.contains("Northwest Computational Chemistry Package");
}

// The starred banner of an output ("** Cite this program as: MOPAC2016") or a line that starts
// with the name and version ("MOPAC2016 (Version: ...)" of an archive, "MOPAC: VERSION 7.01").
bool mopacbanner(const FileHead& h) {
    for (const std::string_view line : h.lines()) {
        const std::size_t text = line.find_first_not_of(" *");
        if (text != std::string_view::npos && line.substr(text).starts_with("MOPAC")) {
            return true;
        }
    }
    return h.contains("Cite this program as: MOPAC");
}

bool externalblock(const FileHead& h) {
    return h.firstword("$EXTERNAL") || h.firstword("EXTERNAL");
}

constexpr std::array readers{
    ReaderEntry{
        "ADFOUT",
        &readadfout,
        "ADF output: geometries, energies, frequencies, intensities, normal modes",
        ".adfout .out .log",
        [](const FileHead& h) { return banner(h.contains("Amsterdam Density Functional")); },
        true,
        {"ADF", "ADF", "GEOMETRY CONVERGED", true}},
    ReaderEntry{"ADFINP", &readadfinp,
                "ADF input: ATOMS block, Cartesian or Z-matrix, UNITS, GEOVAR",
                ".adfin .adfinp .run .inp .in",
                [](const FileHead& h) {
                    return h.firstword("ATOMS") && h.firstword("END") ? Fit::shape : Fit::none;
                }},
    ReaderEntry{"AMSOUT",
                &readamsout,
                "AMS output: geometries, frequencies, intensities, displacements per mode",
                ".amsout .out .log",
                [](const FileHead& h) {
                    // The AMS driver's banner; its engine may print the older program's too.
                    return h.contains("Amsterdam Modeling Suite") ? Fit::specific : Fit::none;
                },
                false,
                {"AMS", "", "", false}},
    ReaderEntry{"ANGS", &readangs, "atom lines in Angstrom: symbol or element number, x, y, z",
                ".angs", &atomlist},
    ReaderEntry{"ARC", &readarc, "final geometry of an archive file with its heat of formation",
                ".arc",
                [](const FileHead& h) {
                    return h.contains("FINAL GEOMETRY OBTAINED") ? Fit::specific : Fit::none;
                }},
    ReaderEntry{"BOHRS", &readbohrs, "atom lines in Bohr: symbol, x, y, z", ".bohrs .bohr",
                &atomlist},
    ReaderEntry{"CFOUR",
                &readcfour,
                "CFOUR output: geometries with energies, frequencies, modes",
                ".c4 .out .log",
                [](const FileHead& h) {
                    // The banner, or the table of settings that follows it.
                    return banner(h.contains("Coupled-Cluster techniques for Computational") ||
                                  h.contains("CCCCCC     CCCCCC   |||") ||
                                  h.contains("CALCLEVEL            ICLLVL"));
                },
                false,
                {"CFOUR", "Version", "Optimization completed", true}},
    ReaderEntry{"DAT", &readdat, "three header lines, then Cartesian or Z-matrix atom lines",
                ".dat .mop", &mopacinput},
    ReaderEntry{"DRF", &readdrf, "DRF input: external-charge block, charges and Bohr coordinates",
                ".drf",
                [](const FileHead& h) { return externalblock(h) ? Fit::shape : Fit::none; }},
    ReaderEntry{"DRFOUT",
                &readdrfout,
                "DRF output: every external-charge block as one geometry",
                ".drfout .out",
                [](const FileHead& h) { return externalblock(h) ? Fit::shape : Fit::none; },
                false,
                {"DRF", "", "", false}},
    ReaderEntry{"GAUSS",
                &readgaussian,
                "Gaussian output: geometries with energies, scan points, frequencies, modes",
                ".log .out",
                // Also the header of the Gaussian-style files other programs write.
                [](const FileHead& h) { return banner(h.contains("Entering Gaussian System")); },
                false,
                {"Gaussian", "Gaussian", "Optimization completed", true}},
    ReaderEntry{"MOPOUT",
                &readmopout,
                "MOPAC output: geometries with heats of formation, modes",
                ".out .mopout",
                [](const FileHead& h) { return banner(mopacbanner(h)); },
                false,
                {"MOPAC", "MOPAC", "", true}},
    ReaderEntry{"MOVXYZ", &readmovxyz,
                "multi-frame XYZ file: every frame a geometry, energies from the comment lines",
                ".xyz .extxyz",
                [](const FileHead& h) { return h.xyzframes() >= 2 ? Fit::specific : Fit::none; }},
    ReaderEntry{"NWCHEM",
                &readnwchem,
                "NWChem output: geometries, energies, modes, intensities",
                ".out .nwout",
                [](const FileHead& h) { return banner(nwchembanner(h)); },
                false,
                {"NWChem", "Northwest Computational Chemistry Package (NWChem)",
                 "Optimization converged", true}},
    ReaderEntry{"NWQMMM",
                &readnwqmmm,
                "NWChem QM/MM output: the last QM/MM geometry",
                ".out",
                [](const FileHead& h) {
                    const bool qmmm = h.contains("QMMM geometry") ||
                                      h.contains("QM/MM interface") ||
                                      (nwchembanner(h) && h.firstword("qmmm"));
                    return qmmm ? Fit::specific : Fit::none;
                },
                false,
                {"NWChem QM/MM", "", "", false}},
    ReaderEntry{"ORCA",
                &readorca,
                "ORCA output: geometries with energies, frequencies, modes",
                ".out .log",
                [](const FileHead& h) { return banner(h.contains("O   R   C   A")); },
                false,
                {"ORCA", "Program Version", "THE OPTIMIZATION HAS CONVERGED", true}},
    ReaderEntry{"PDB", &readpdb, "ATOM and HETATM records with atom and residue names", ".pdb .ent",
                [](const FileHead& h) { return pdbrecords(h) ? Fit::shape : Fit::none; }},
    ReaderEntry{"PSI4",
                &readpsi4,
                "Psi4 output: geometries with energies, frequencies, modes",
                ".out .dat",
                [](const FileHead& h) {
                    // The banner, or the timer line that opens every module's output.
                    return banner(h.contains("An Open-Source Ab Initio Electronic Structure") ||
                                  h.contains("*** tstart() called on"));
                },
                false,
                {"Psi4", "Psi4", "Optimization is complete", true}},
    ReaderEntry{"QCHEM",
                &readqchem,
                "Q-Chem output: geometries with energies, frequencies, modes",
                ".out .qcout",
                [](const FileHead& h) {
                    return banner(h.contains("Welcome to Q-Chem") || h.contains("Q-Chem, Inc."));
                },
                false,
                {"Q-Chem", "Q-Chem", "OPTIMIZATION CONVERGED", true}},
    ReaderEntry{"VESKO",
                &readvesko,
                "VESKO output: geometries, energies, frequencies, normal modes, transit points",
                ".out",
                [](const FileHead& h) {
                    return banner(h.contains("Variational Electronic Structure Kit for Orbitals"));
                },
                false,
                {"VESKO", "", "", false}},
    ReaderEntry{"OUT", &readvesko, "VESKO output, as VESKO", "", nullptr},
    ReaderEntry{"XYZ", &readxyz, "XYZ file: atom count, title, atom lines in Angstrom", ".xyz",
                [](const FileHead& h) { return h.xyzframes() >= 1 ? Fit::shape : Fit::none; }},
};

} // namespace

std::span<const ReaderEntry> inputtypes() {
    return readers;
}

const ReaderEntry* findinputtype(std::string_view type) {
    const std::string_view name = trimright(type);
    for (const ReaderEntry& r : readers) {
        if (r.type == name) {
            return &r;
        }
    }
    return nullptr;
}

void readfile(Store& s) {
    InputFile in;
    if (!in.load(s.path(s.inputfile))) {
        myexit("Error opening inputfile", "readfile");
    }
    const ReaderEntry* reader = findinputtype(s.inputtype);
    if (reader == nullptr) {
        const std::string type = padright(s.inputtype, 6);
        s.err() << "kru: note: " << unknowntypehint(s.inputtype, TypeKind::input) << '\n';
        s.log() << "InputType " << type << " not yet implemented. Sorry. Contact " << maintainer
                << '\n';
        myexit("InputType " + type + "not yet implemented", "readfile");
    }
    try {
        reader->read(s, in);
        // A reader that would have noted an unfinished run saw the program's normal end.
        if (reader->run.ending && s.ended == Tristate::unknown) {
            s.ended = Tristate::yes;
        }
    } catch (RunError& e) {
        // The command line names the file and the line a reader failed on.
        e.file = s.inputfile;
        e.line = in.lineno();
        throw;
    }

    if (s.inpcoor == 2) {
        s.inputkmatrix = true;
        // Atoms 1..nat only: the reference positions before the first atom are not handed over.
        const bool any = s.nat >= 1;
        zmat_2_xyz(s.nat, any ? s.kmatrx.column(1) : nullptr, any ? s.zmat.column(1) : nullptr,
                   any ? s.xyz.column(1) : nullptr, s.log());
    }

    if (s.newkmatrix) {
        if (s.verbose) {
            s.log() << " Reading K-matrix\n";
        }
        InputFile kmatrix;
        if (!kmatrix.load(s.path(s.kmatrixfile))) {
            myexit("Error opening inputfile", "readfile");
        }
        readkmatrix(s, kmatrix);
    }
    if (s.lisotp) {
        if (s.verbose) {
            s.log() << " Reading ISOTP file\n";
        }
        InputFile isotp;
        if (!isotp.load(s.path(s.isotpfile))) {
            myexit("Error opening isotpfile", "readfile");
        }
        readisotp(s, isotp);
    }
}
