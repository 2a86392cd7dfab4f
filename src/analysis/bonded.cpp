// Bond test from the covalent radii of the two elements.
#include "analysis/analysis.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <cmath>

bool bonded(double r, int z1, int z2) {
    if (z1 <= 0 || z2 <= 0 || z1 > nelements || z2 > nelements || z1 == dummyatom ||
        z2 == dummyatom) {
        return false;
    }
    // A negative radius marks an element without one; left in the sum it would make the
    // exponent positive and bond the atom to everything at any distance.
    if (defcovrad(z1) < 0.0 || defcovrad(z2) < 0.0) {
        return false;
    }
    const double rsum = (defcovrad(z1) + defcovrad(z2)) / angstrom_per_bohr;
    // Bonded up to about 1.3567 times the radius sum: exp(-(x - 1)) > 0.7.
    return std::exp(-(r / rsum - 1.0)) > 0.7;
}
