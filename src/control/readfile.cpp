// Opens the input file and hands it to the reader of its type, converts internal coordinates to
// Cartesian ones, then reads the K-matrix and isotope side files the control input named.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <array>
#include <ostream>

namespace {

constexpr std::array readers{
    ReaderEntry{"ADFOUT", &readadfout,
                "ADF output: geometries, energies, frequencies, intensities, normal modes"},
    ReaderEntry{"ADFINP", &readadfinp,
                "ADF input: ATOMS block, Cartesian or Z-matrix, UNITS, GEOVAR"},
    ReaderEntry{"AMSOUT", &readamsout,
                "AMS output: geometries, frequencies, intensities, displacements per mode"},
    ReaderEntry{"ANGS", &readangs, "atom lines in Angstrom: symbol or element number, x, y, z"},
    ReaderEntry{"ARC", &readarc, "final geometry of an archive file with its heat of formation"},
    ReaderEntry{"BOHRS", &readbohrs, "atom lines in Bohr: symbol, x, y, z"},
    ReaderEntry{"CFOUR", &readcfour, "CFOUR output: geometries with energies, frequencies, modes"},
    ReaderEntry{"DAT", &readdat, "three header lines, then Cartesian or Z-matrix atom lines"},
    ReaderEntry{"DRF", &readdrf, "DRF input: external-charge block, charges and Bohr coordinates"},
    ReaderEntry{"DRFOUT", &readdrfout, "DRF output: every external-charge block as one geometry"},
    ReaderEntry{"GAUSS", &readgaussian,
                "Gaussian output: geometries with energies, scan points, frequencies, modes"},
    ReaderEntry{"MOPOUT", &readmopout, "MOPAC output: geometries with heats of formation, modes"},
    ReaderEntry{"MOVXYZ", &readmovxyz,
                "multi-frame XYZ file: every frame a geometry, energies from the comment lines"},
    ReaderEntry{"NWCHEM", &readnwchem, "NWChem output: geometries, energies, modes, intensities"},
    ReaderEntry{"NWQMMM", &readnwqmmm, "NWChem QM/MM output: the last QM/MM geometry"},
    ReaderEntry{"ORCA", &readorca, "ORCA output: geometries with energies, frequencies, modes"},
    ReaderEntry{"PDB", &readpdb, "ATOM and HETATM records with atom and residue names"},
    ReaderEntry{"PSI4", &readpsi4, "Psi4 output: geometries with energies, frequencies, modes"},
    ReaderEntry{"QCHEM", &readqchem, "Q-Chem output: geometries with energies, frequencies, modes"},
    ReaderEntry{"VESKO", &readvesko,
                "VESKO output: geometries, energies, frequencies, normal modes, transit points"},
    ReaderEntry{"OUT", &readvesko, "VESKO output, as VESKO"},
    ReaderEntry{"XYZ", &readxyz, "XYZ file: atom count, title, atom lines in Angstrom"},
};

} // namespace

std::span<const ReaderEntry> inputtypes() {
    return readers;
}

void readfile(Store& s) {
    InputFile in;
    if (!in.load(s.path(s.inputfile))) {
        myexit("Error opening inputfile", "readfile");
    }
    const ReaderEntry* reader = nullptr;
    for (const ReaderEntry& r : inputtypes()) {
        if (reader == nullptr && r.type == s.inputtype) {
            reader = &r;
        }
    }
    if (reader == nullptr) {
        const std::string type = padright(s.inputtype, 6);
        s.log() << "InputType " << type << " not yet implemented. Sorry. Contact " << maintainer
                << '\n';
        myexit("InputType " + type + "not yet implemented", "readfile");
    }
    reader->read(s, in);

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
