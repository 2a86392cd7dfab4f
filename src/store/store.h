// The molecule store: the run options and context, the molecule the reader builds, its geometry
// sequence and vibrations, and what the arrangement step adds. One Store lives for the whole run
// and is passed by reference; lengths are in Bohr, angles in radians, energies in Hartree.
#pragma once

#include "store/runcontext.h"
#include "store/tables.h"

#include <array>
#include <string>

/// Angstrom per Bohr (a single-precision value widened to double).
inline constexpr double angstrom_per_bohr = 0.5291772484779358;
inline constexpr double radians_per_degree = 0.017453292519943295;
inline constexpr double degrees_per_radian = 57.29577951308232;
inline constexpr double kcal_per_hartree = 627.509521484375;
/// eV per Hartree as ASE, which writes and reads most extended XYZ files, converts.
inline constexpr double ev_per_hartree = 27.211386024367243;

/// Maximum number of bonded partners of one atom, and of listed nearest non-bonded atoms.
inline constexpr int maxconn = 18;
inline constexpr int maxnear = 20;

// The options are a base rather than a member, so that routines name them as the molecule's
// own fields (s.idgeo, s.outputfile), as they did before the options had a type of their own.
struct Store : Options {
    Store() = default;
    explicit Store(const RunContext& where) : context(where) {}
    Store(const Options& options, const RunContext& where) : Options(options), context(where) {}

    // Where the run prints and finds its files.
    RunContext context;
    std::ostream& log() const { return *context.log; }
    std::ostream& err() const { return *context.err; }
    std::string path(std::string_view name) const { return context.path(name); }

    // Counts and molecule-wide values.
    int nat = 0;
    int ngeom = 0;
    int nvib = 0;
    double energy = 0.0;
    int inpcoor = 1; // 1 Cartesian coordinates stored, 2 internal coordinates
    int nisotp = 0;
    int nrjobs = 0;
    bool inputkmatrix = false;
    bool lscanfreq = false;
    // Bytes all tables may take together; 0 leaves the limit to allocstuff. Tests and fuzzing
    // set a lower one.
    long long tablelimit = 0;

    // Per-atom tables, created by allocstuff.
    Table1<int> iat;              // element number 1..98
    Table2<double> xyz;           // (1..3, atom)
    Table2<int> iorder;           // (atom, 1) output position of an atom; (position, 2) atom there
    Table2<int> kmatrx;           // (1..3, -3..nat) distance, angle and dihedral partners
    Table2<double> zmat;          // (1..3, -3..nat) distance, angle, dihedral
    Table2<int> iconn;            // (0..18, atom) count, then bonded partners
    Table2<double> rconn;         // (1..18, atom) distances to the bonded partners
    Table2<int> inear;            // (0..20, atom) count, then nearest non-bonded atoms
    Table2<double> rnear;         // (1..20, atom) their distances
    Table2<double> xyztmp;        // (1..3, atom) scratch of the output readers
    Table1<std::string> atdescr;  // atom label, 10 characters
    Table1<std::string> moldescr; // residue or molecule name, 10 characters
    Table1<int> iatmol;           // molecule number
    Table1<int> idesp;            // 0 ordinary, 1 "J." atom, 2 ghost atom
    Table1<double> chrg;          // point charge
    Table1<double> t4gen;         // four-coordination index
    Table1<int> iisotp;           // atoms of the isotope entries 1..nisotp
    Table1<double> risotp;        // their new masses, amu

    // Geometry sequence and vibrations.
    Table3<double> xgeo;      // (1..3, atom, geometry)
    Table1<double> egeo;      // energy of each geometry
    Table1<int> scanpoint;    // point of a relaxed scan a geometry is a step of; 0 none
    Table1<int> scanend;      // 1 for the geometry that ends its scan point (its optimum)
    Table1<double> vibs;      // frequency of each mode, cm-1
    Table1<double> frqintns;  // infrared intensity, km/mol
    Table3<double> vibvec;    // (1..3, atom, mode) displacement
    Table2<double> fscanfreq; // (1..2, mode) before and after a frequency scan

    // What the output says for the next calculation: charge and multiplicity where it prints
    // them (multiplicity 0: not printed), a Gaussian route and ORCA's "!" lines as echoed.
    int runcharge = 0;
    int runmult = 0;
    std::string runroute;
    std::string runkeywords;

    // Atoms of each element in the molecule, counted by the arrangement step.
    std::array<int, 99> idatdef{}; // entries 1..98
};

/// Creates every table of the store from nat, ngeom and nvib; a second call fails.
void allocstuff(Store& s);
/// Releases the tables.
void deallocstuff(Store& s);

/// Point a (1-based) of a 3 x n coordinate table.
inline std::array<double, 3> point(const Table2<double>& t, long long a) {
    return {t(1, a), t(2, a), t(3, a)};
}
