// The input readers: each reads the open input file in two passes and fills the store.
#pragma once

#include <string_view>

struct Store;
class InputFile;
struct AtomLineOptions;

/// Number of non-blank lines after the first `skip` lines.
int countatomlines(InputFile& in, long long skip);
/// Creates the tables for `count` atoms and decodes every non-blank line after the first `skip`.
void storeatomlines(Store& s, InputFile& in, int count, long long skip, std::string_view routine,
                    const AtomLineOptions& options);

/// XYZ file: atom count, title, atom lines in Angstrom.
void readxyz(Store& s, InputFile& in);
/// Bare atom lines in Angstrom; an element number may stand for the symbol.
void readangs(Store& s, InputFile& in);
/// Bare atom lines in Bohr.
void readbohrs(Store& s, InputFile& in);
/// DAT file: three header lines, then Cartesian or Z-matrix atom lines.
void readdat(Store& s, InputFile& in);
/// Archive file: the atom lines after the first "FINAL GEOMETRY OBTAINED" and its three headers.
void readarc(Store& s, InputFile& in);
/// PDB file: every ATOM and HETATM record with its atom name, residue name and number.
void readpdb(Store& s, InputFile& in);
/// ORCA output: the atom count and every Cartesian coordinate block of the chosen run.
void readorca(Store& s, InputFile& in);
/// Psi4 output: the atoms, later coordinate tables with their energies, frequencies and modes.
void readpsi4(Store& s, InputFile& in);
/// Psi4 table after a coordinate header: counts its atoms, and with `store` decodes them.
void readpsi4xyz(Store& s, InputFile& in, bool store, double rconvrs);

/// K-matrix file: line n gives the distance, angle and dihedral partners of atom n.
void readkmatrix(Store& s, InputFile& in);
/// Isotope file: pairs of an atom number and its new mass.
void readisotp(Store& s, InputFile& in);
