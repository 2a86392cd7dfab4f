// The output writers: each writes the store in one format to the open output file.
#pragma once

#include "store/tables.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
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
/// The 78-column HETATM record of store atom a at the given coordinates (Bohr), with its line
/// end, appended to text.
void pdbhetatm(const Store& s, std::string& text, int a, const std::array<double, 3>& bohr);
/// CONECT records of store atoms first to last, with their line ends, appended to text: at most
/// twelve partners in records of four.
void pdbconect(const Store& s, std::string& text, int first, int last);
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
/// Records (atom lines of all frames together) from which a second thread pays for itself.
inline constexpr long long threadedrecords = 4000;
/// How writeframesinorder passes a frame's text on: at once, or line by line as if the frame's
/// writer had written its lines there, which leaves the same partial file as one thread would
/// where a later frame fails.
enum class FrameWrites { whole, linebyline };
/// Makes the text of frame k with format(k, text, helper), for k = 0 ..
/// n - 1, in two threads when `twothreads` (helper false in the calling one), and writes the
/// texts to out in order. format writes whole lines only, keeps to what belongs to its thread,
/// and returns false (or throws) when the frame fails. Returns the number of frames written: all
/// of them, or those before the first that failed.
std::size_t writeframesinorder(
    OutputFile& out, std::size_t n, bool twothreads, FrameWrites writes,
    const std::function<bool(std::size_t k, std::string& text, bool helper)>& format);
/// Passes text to out line by line, as if each of its lines had been written with out.line.
void writelines(OutputFile& out, std::string_view text);
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
/// Extended XYZ trajectory of the geometry sequence with each frame's energy in eV.
void writeextxyz(Store& s, OutputFile& out);
/// SD file of the geometry sequence: a molfile record per geometry with bonds, bond orders and
/// the energy; leaves the final structure and its connectivity in the store.
void writesdf(Store& s, OutputFile& out);
/// A bond of the connectivity between store atoms a < b, and its order 1 to 3.
struct Bond {
    int a;
    int b;
    int order;
};
/// The bonds of the store's connectivity, ordered so that H, C, N and O reach their usual
/// valence where a Kekule-style assignment can do it, single elsewhere.
std::vector<Bond> bondorders(const Store& s);
/// The program an input for the next calculation is written for.
enum class NextProgram { orca, gaussian };
/// What such an input carries besides the atoms.
struct NextInput {
    long long charge = 0;
    long long mult = 1;
    std::string method; // ORCA's "!" lines (one per line) or a Gaussian route
};
/// Charge, multiplicity and method line: CHARGE, MULT and METHOD, else the run's (its method
/// line only for the same program), else 0, 1 and a default; with note, one line on standard
/// error for each default used.
NextInput nextinput(const Store& s, NextProgram program, bool note);
/// ORCA input of a geometry (Bohr, by store atom).
void writeorcainput(const Store& s, OutputFile& out, const NextInput& next,
                    const Table2<double>& bohr);
/// Gaussian input of a geometry (Bohr, by store atom); its checkpoint file is named after file.
void writegaussianinput(const Store& s, OutputFile& out, const NextInput& next,
                        const Table2<double>& bohr, std::string_view file);
/// Atom lines of those inputs: symbol and Angstrom coordinates, in output order.
void writeinputatoms(const Store& s, OutputFile& out, const Table2<double>& bohr);
/// ORCA input of the final structure.
void writeorcain(Store& s, OutputFile& out);
/// Gaussian input of the final structure.
void writegjf(Store& s, OutputFile& out);
/// With output type ORCAIN or GJF, the extension of the input each displaced geometry also
/// gets; empty for other types.
std::string_view displacedinputextension(const Store& s);
/// The names of those inputs, for the overwrite guard.
std::vector<std::string> displacedinputfiles(const Store& s);
/// Writes the input of a displaced geometry (Bohr) beside its coordinate file, when the output
/// type asks for one.
void writedisplacedinput(const Store& s, const Table2<double>& bohr, const std::string& angsfile);
