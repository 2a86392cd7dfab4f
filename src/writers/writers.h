// The output writers: each writes the store in one format to the open output file.
#pragma once

#include <array>
#include <string_view>

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
/// The header lines of the MOPAC inputs, and the charge warning on standard output.
void writemopachead(OutputFile& out);
/// Writes geometries displaced along the imaginary modes, after every output.
void writedistort(Store& s);
/// Bond valence of atoms of elements ia and ib at points a and b (Bohr); also stored in rho.
double getrhoij2(const std::array<double, 3>& a, const std::array<double, 3>& b, int ia, int ib,
                 double& rho);
