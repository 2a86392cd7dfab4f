// The input readers: each reads the open input file in two passes and fills the store.
#pragma once

#include "store/store.h"

#include <string>
#include <string_view>
#include <vector>

class InputFile;
struct AtomLineOptions;
struct FreeRead;

// The skeleton every reader of a program output follows: a first pass counts, sizestore checks
// the counts and creates the tables, a second pass fills them, appending each geometry through a
// GeometrySequence; selectgeometry makes the final structure and noteunfinished says when the
// program's run did not end normally.

/// Checks the counts of a first pass against what the file can hold (an atom takes a line of its
/// own, a molecule has 3N modes), ending the run under `routine` with the count and its bound
/// when one is beyond it; then creates the tables and rewinds. `declaredatoms` is an atom count
/// as the file states it, which may be beyond what nat holds; by default nat.
void sizestore(Store& s, InputFile& in, std::string_view routine, long long declaredatoms = -1);

/// The run of a multi-run output a reader takes. The first pass counts the runs in nrjobs and
/// follows the run JOB names, or every run when JOB is 0 (the last run's counts then stand); the
/// second pass takes only the lines of the selected run, the last one when JOB is 0.
class RunFilter {
  public:
    explicit RunFilter(Store& s) : s_(s) {}
    /// First pass: whether the counts follow this line; `opensrun` when it starts a run.
    bool counting(bool opensrun) {
        if (opensrun) {
            ++s_.nrjobs;
        }
        return s_.job == 0 || s_.job == s_.nrjobs;
    }
    /// Between the passes: JOB 0 becomes the last run.
    void select() {
        if (s_.job == 0) {
            s_.job = s_.nrjobs;
        }
        runs_ = 0;
    }
    /// Second pass: whether the line belongs to the selected run.
    bool reading(bool opensrun) {
        if (opensrun) {
            ++runs_;
        }
        return runs_ == s_.job;
    }

  private:
    Store& s_;
    long long runs_ = 0;
};

/// The geometry sequence as a second pass fills it. Each geometry takes the first energy of the
/// job's method printed after its table (tables printed before one energy all take it); later
/// energies before the next table belong to points the program does not print and only become
/// the run's last energy; a geometry that no energy follows takes the run's last energy.
class GeometrySequence {
  public:
    GeometrySequence(Store& s, std::string_view routine) : s_(s), routine_(routine) {}
    /// xyztmp becomes the next geometry, carrying the current energy until its own is read (with
    /// `awaitsenergy` false it keeps the current energy: a geometry printed after its energy);
    /// ends the run when the first pass found room for fewer.
    int append(bool awaitsenergy = true);
    /// Opens the next geometry as append does, for a caller that writes its coordinates into
    /// xgeo itself.
    int open(bool awaitsenergy = true);
    /// An energy of the job's method: the run's last energy, and that of the waiting geometries.
    void energy(double e);
    /// At the end of the pass: the geometries still waiting take the run's last energy.
    void finish();

  private:
    Store& s_;
    std::string_view routine_;
    int paired_ = 0; // geometries 1..paired_ have their energy
};

/// Makes geometry IDGEO, or the last when IDGEO is outside 1..ngeom, the final structure (xyz);
/// returns its number.
int selectgeometry(Store& s);

/// Says on standard error that the program's run did not end normally and which geometry the
/// final structure is (`finalgeometry` 0: the atoms as read, no geometry of the sequence), and
/// records it in the store.
void noteunfinished(Store& s, int finalgeometry);

/// Whether every atom of geometry g lies on one line, within 1e-3 Angstrom (two atoms always do).
bool linearmolecule(const Store& s, int g);

/// Number of non-blank lines after the first `skip` lines.
int countatomlines(InputFile& in, long long skip);
/// Creates the tables for `count` atoms and decodes every non-blank line after the first `skip`.
void storeatomlines(Store& s, InputFile& in, int count, long long skip, std::string_view routine,
                    const AtomLineOptions& options);

/// XYZ file: atom count, title, atom lines in Angstrom.
void readxyz(Store& s, InputFile& in);
/// Multi-frame XYZ file: every frame a geometry of the sequence with its comment line's energy.
void readmovxyz(Store& s, InputFile& in);
/// The energy on a frame's comment line in Hartree: xtb's "energy: E" (Hartree) or an extended
/// XYZ "energy=E" key (eV); false when the line holds none.
bool commentenergy(std::string_view line, double& hartree);
/// Bare atom lines in Angstrom; an element number may stand for the symbol.
void readangs(Store& s, InputFile& in);
/// Bare atom lines in Bohr.
void readbohrs(Store& s, InputFile& in);
/// DAT file: three header lines, then Cartesian or Z-matrix atom lines.
void readdat(Store& s, InputFile& in);
/// Archive file: the atom lines after the first "FINAL GEOMETRY OBTAINED" and its three headers.
void readarc(Store& s, InputFile& in);
/// ADF input file: the ATOMS block, Cartesian or Z-matrix, with its UNITS and GEOVAR blocks.
void readadfinp(Store& s, InputFile& in);
/// PDB file: every ATOM and HETATM record with its atom name, residue name and number.
void readpdb(Store& s, InputFile& in);
/// External-charge blocks of DRF input or output; with `sequence` each closed block is a geometry.
void readdrfblocks(Store& s, InputFile& in, std::string_view routine, bool sequence);
/// DRF input: the last external-charge block with charges, labels and group names.
void readdrf(Store& s, InputFile& in);
/// DRF output: every closed external-charge block as one geometry; the last gives the molecule.
void readdrfout(Store& s, InputFile& in);

/// ADF output: atoms, geometry sequence with energies, frequencies, intensities and normal modes,
/// frequency-scan results; writes the coordinate files of linear-transit points.
void readadfout(Store& s, InputFile& in);
/// AMS output: every atom table as a geometry, the frequency table and the displacement table of
/// each mode, frequency-scan results; writes the coordinate files of linear-transit points.
void readamsout(Store& s, InputFile& in);
/// VESKO output: atoms, the optimisation's geometries with energies, frequencies and normal
/// modes; writes the coordinate files of linear-transit points.
void readvesko(Store& s, InputFile& in);
/// NWChem output: every geometry table with the energy of the run's method, the projected normal
/// modes and their infrared intensities.
void readnwchem(Store& s, InputFile& in);
/// NWChem QM/MM output: the atoms of the last QM/MM geometry block.
void readnwqmmm(Store& s, InputFile& in);
/// Element of an atom line of an NWChem or Q-Chem table from the leading letters of its tag, the
/// first field ("Bq.C" is carbon, "H1" hydrogen), or from a whole-number `charge` that names
/// another element (0: none); ends the run on an unknown symbol, naming the calling reader.
int tagelement(std::ostream& log, const FreeRead& f, std::string_view line,
               std::string_view routine, double charge);

/// CFOUR output: every geometry table with its energy, frequencies, intensities, normal modes.
void readcfour(Store& s, InputFile& in);
/// Gaussian output, or a Gaussian-98-style frequency file: every orientation table of the chosen
/// job with its energy, scan points, frequencies, intensities and normal modes.
void readgaussian(Store& s, InputFile& in);
/// MOPAC output: the atoms of the first Cartesian coordinate table, in Angstrom.
void readmopout(Store& s, InputFile& in);
/// ORCA output: every coordinate block of the chosen run with its energy, frequencies, modes.
void readorca(Store& s, InputFile& in);
/// Psi4 output: each coordinate table as a geometry with its energy, frequencies and modes.
void readpsi4(Store& s, InputFile& in);
/// Psi4 table after a coordinate header: counts its atoms, and with `store` decodes them.
void readpsi4xyz(Store& s, InputFile& in, bool store, double rconvrs);
/// Q-Chem output: each orientation table of the chosen job with its energy, frequencies, modes.
void readqchem(Store& s, InputFile& in);

/// K-matrix file: line n gives the distance, angle and dihedral partners of atom n.
void readkmatrix(Store& s, InputFile& in);
/// Isotope file: pairs of an atom number and its new mass.
void readisotp(Store& s, InputFile& in);
