// Structure analysis: geometry kernels, Z-matrix conversion, connectivity, the arrangement step
// between reading and writing, and the isotope recomputation of vibrations.
#pragma once

#include <array>
#include <iosfwd>
#include <string_view>

struct Store;

/// A point x, y, z.
using Vec3 = std::array<double, 3>;

/// Distance between a and b; optional first (6) and second (6x6, by column) derivatives.
double bond(const Vec3& a, const Vec3& b, double* grad = nullptr, double* hess = nullptr);
/// Angle a-b-c at vertex b in [0, pi]; optional derivatives (9, 9x9).
double angle(const Vec3& a, const Vec3& b, const Vec3& c, double* grad = nullptr,
             double* hess = nullptr);
/// Dihedral a-b-c-d in [0, 2 pi); optional derivatives (12, 12x12).
double dihedral(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, double* grad = nullptr,
                double* hess = nullptr);
/// Sum of x(i) y(i), i = 1..n.
double vsdot2(long long n, const double* x, const double* y);
/// C = A B for column-major A (ra x ca) and B (rb x cb); stops when ca differs from rb.
void mmulrr(const double* a, long long ra, long long ca, const double* b, long long rb,
            long long cb, std::string_view flag, double* c);
/// C = A B^T for column-major A (ra x ca) and B (rb x cb); stops when ca differs from cb.
void mmulrt(const double* a, long long ra, long long ca, const double* b, long long rb,
            long long cb, std::string_view flag, double* c);

/// Cartesian coordinates of atoms 1..n from their internal coordinates (column-major 3 x n).
void zmat_2_xyz(int n, const int* refs, const double* vals, double* coords, std::ostream& log);
/// The point at distance r from a, angle theta at a with b, dihedral phi with b and c.
Vec3 zmat2c(const Vec3& a, const Vec3& b, const Vec3& c, double r, double theta, double phi,
            std::ostream& log);
/// b plus a unit vector perpendicular to c - b (and to a - b where possible).
Vec3 make_ovector(const Vec3& a, const Vec3& b, const Vec3& c, std::ostream& log);

/// True when two atoms of elements z1 and z2 at distance r (Bohr) are bonded.
bool bonded(double r, int z1, int z2);
/// Bonded and nearest non-bonded neighbour lists of every atom, nearest first; without nearlists
/// the non-bonded lists are left empty, for a geometry whose bonds alone are read.
void make_iconn(Store& s, bool nearlists = true);

/// Molecule numbers spread along the bonds from atom 1, one label after another.
void numbermolecules(Store& s);
/// Output order with each heavy atom followed by its hydrogens, molecule by molecule; reads the
/// neighbour lists of make_iconn.
void chemicalorder(Store& s);
/// Completes the store between reading and writing: labels, bonds, order, molecules, Z-matrix.
void arrange(Store& s);
/// Moves atom idorient(1) to the origin, idorient(2) onto +z and idorient(3) into the xz plane.
void reorient_coordinates(Store& s, double* coords);

/// Recomputes frequencies and normal modes for the isotope masses of the store.
void remakevibs(Store& s);
/// Eigenvalues d (ascending) and eigenvectors (columns of v) of the symmetric n x n matrix a,
/// column-major, of which the upper triangle is read.
void diajac(const double* a, double* v, double* d, int n);
