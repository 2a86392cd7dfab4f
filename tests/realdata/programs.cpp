// The programs whose real outputs the suite reads, and where KRU's reading differs from the
// reference on purpose.
#include "realdata.h"

#include <array>

namespace {

constexpr std::array adffiles{
    // A single point has no geometry sequence; the arrangement step makes the molecule itself
    // its one geometry, which carries no energy of its own.
    FileExpectation{"NH3.adfout", 1, false},
    // The reference counts six geometries: the input atom table and the five optimisation
    // cycles. KRU's sequence is the five coordinate tables printed with the optimisation
    // variables, one per cycle; the atom table is the molecule, not a geometry. This ADF version
    // prints the bonding energy only after the last cycle, so no geometry has an energy yet when
    // it is read.
    FileExpectation{"dvb_gopt.adfout", 5, false},
    // The reference counts 62 geometries: the input and the 61 displaced geometries of the
    // numerical frequency run. In a FREQUENCIES run those tables are counted but not stored, so
    // the sequence is the molecule itself, at the input geometry.
    FileExpectation{"dvb_ir.adfout", 1, false},
};

constexpr std::array table{
    // Coordinates are printed with 4 to 6 decimals, in Angstrom or in Bohr: a 6-decimal Bohr
    // value and the 6-decimal Angstrom value of the same point differ by up to 1e-6 Angstrom. The
    // normal modes carry 3-decimal frequencies (the reference's have 6) and the same 3-decimal
    // displacements as the reference; the intensities are the same 6-decimal numbers.
    Program{"ADF", "ADFOUT", ".adfout", true, true, true, true, 2e-6, 5.1e-4, 1e-9, 1e-9, adffiles},
};

} // namespace

std::span<const Program> programs() {
    return table;
}
