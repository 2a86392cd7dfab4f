// The output writers: each writes the store in one format to the open output file.
#pragma once

#include "store/tables.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct Store;
class OutputFile;

/// Element symbol as the writers print it (2 characters); "XX", the dummy atom, for an element
/// number outside the table.
std::string_view atomsymbol(int z);

/// XYZ file: atom count, input file name with the energy in kcal/mol, Angstrom coordinates.
void writexyz(Store& s, OutputFile& out);
/// XYZ trajectory of the geometry sequence, honouring RANGE and IDOFTL.
void writemovxyz(Store& s, OutputFile& out);
/// Bare Angstrom atom list with labels, no header.
void writeangs(Store& s, OutputFile& out);
/// Bare Bohr atom list, no header.
void writebohrs(Store& s, OutputFile& out);
/// MOPAC input in Cartesian coordinates, every coordinate flagged for optimisation.
void writedat(Store& s, OutputFile& out);
/// MOPAC input as a Z-matrix, references renumbered to the output order.
void writedatz(Store& s, OutputFile& out);
/// Connectivity list: each atom's store number and its bond partners.
void writeconn(Store& s, OutputFile& out);
/// Chem3D-style coordinate table with element numbers and bonds.
void writec3d(Store& s, OutputFile& out);
/// Structure report: composition, mass, coordination index, neighbour lists and bond angles.
void writerep(Store& s, OutputFile& out);
/// Z-matrix with "*"-marked variables, values to 10 decimals grouped by kind.
void writezmat(Store& s, OutputFile& out);
/// Z-matrix with plain variables, values to 3 decimals atom by atom.
void writezmatsp(Store& s, OutputFile& out);
/// Title line and atom block of the Z-matrix writers; star marks every variable with "*".
void writezmatatoms(const Store& s, OutputFile& out, bool star);
/// Name of the distance ('R'), angle ('A') or dihedral ('D') variable of output position k.
std::string zmatvariable(char kind, int k);
/// The header lines of the MOPAC inputs, and the charge warning on the run's log.
void writemopachead(const Store& s, OutputFile& out);
/// Molden file with the normal modes and the geometry sequence, which IDOFTL may reverse.
void writemolden(Store& s, OutputFile& out);
/// Molden file with the normal modes and the geometry sequence, always first to last.
void writemolf(Store& s, OutputFile& out);
/// The Molden file both Molden writers write; routine names the writer in failure messages.
void writemoldenfile(Store& s, OutputFile& out, bool lasttofirst, std::string_view routine);
/// Suffix of the vibration-weights file after the output file name.
inline constexpr std::string_view vibweightssuffix = "-vib.weights";
/// For every atom, its ten largest-weighted modes, written to the vibration-weights file.
void writevibweights(Store& s, std::string_view routine);
/// PDB file: HETATM records in output order, then CONECT records.
void writepdb(Store& s, OutputFile& out);
/// Multi-model PDB file of the geometry sequence; leaves the last model's geometry and bonds in
/// the store.
void writemovpdb(Store& s, OutputFile& out);
/// The 78-column HETATM record of store atom a at the given coordinates (Bohr).
void pdbhetatm(const Store& s, OutputFile& out, int a, const std::array<double, 3>& bohr);
/// CONECT records of every atom in store order: at most twelve partners in records of four.
void pdbconect(const Store& s, OutputFile& out);
/// Normal-mode animations as multi-model PDB files, one per mode; the output file gets a note.
void writefrqpdb(Store& s, OutputFile& out);
/// Normal-mode animations as multi-frame coordinate files, one per mode; the output file gets a
/// note.
void writeamv(Store& s, OutputFile& out);
/// The animated modes and their files: the base name, then per mode its number and file name.
struct AnimationFiles {
    struct Mode {
        int mode;
        std::string file;
    };
    std::string base;
    std::vector<Mode> modes;
};
/// The modes to animate (inside the FRQR window when window is set and the window is open, else
/// the first MXVIBS) and their file names; suffix is ".pdb" or ".amv".
AnimationFiles animationfiles(const Store& s, std::string_view suffix, bool window);
/// What sets the two animation writers apart.
struct AnimationKind {
    std::string_view suffix; // searched in the output name and ending every mode file
    bool window;             // the FRQR window may select the modes
    bool divide; // the mode is divided by the square root of the masses, else multiplied
    /// Writes frame 1..40 of a mode from the frame's coordinates (Angstrom, by store atom).
    void (*frame)(const Store& s, OutputFile& out, int mode, int frame,
                  const Table2<double>& angstrom);
    std::string_view routine; // named in an allocation failure
};
/// The shared part of the animation writers: 40 frames per selected mode in a file of its own,
/// then the output file replaced by a two-line note.
void writeanimation(Store& s, OutputFile& out, const AnimationKind& kind);
/// The geometries a trajectory writes, in order, as RANGE and IDOFTL select them.
std::vector<long long> trajectoryframes(const Store& s);
/// Writes geometries displaced along the imaginary modes, after every output.
void writedistort(Store& s);
/// The files writedistort will write for the store's modes.
std::vector<std::string> distortionfiles(const Store& s);
/// Bond valence of atoms of elements ia and ib at points a and b (Bohr); also stored in rho.
double getrhoij2(const std::array<double, 3>& a, const std::array<double, 3>& b, int ia, int ib,
                 double& rho);
/// Interpreter line of the ADF job scripts, chosen by the SYS setting, and an empty line.
void writesystemheader(const Store& s, OutputFile& out);
/// ADF single-point job script with Cartesian atoms in store order.
void writeadfc(Store& s, OutputFile& out);
/// ADF atoms block in Z-matrix form, partners as output positions.
void writeadfz(Store& s, OutputFile& out);
/// ADF optimisation job script in Z-matrix form; only hydrogen variables are free.
void writeopth(Store& s, OutputFile& out);
/// ADF QM/MM job script with every atom in the MM region.
void writeqmmm(Store& s, OutputFile& out);
/// Position, symbol and partner positions that open an ADF Z-matrix line for output position i.
std::string adfzmatline(const Store& s, int i);
