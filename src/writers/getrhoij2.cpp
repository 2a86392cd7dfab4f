// Bond valence of two atoms from their distance and the elements' bond-valence radii and
// electronegativities: large for a short, strong bond, falling off exponentially with length.
#include "store/atominfo.h"
#include "store/store.h"
#include "writers/writers.h"

#include <cmath>

double getrhoij2(const std::array<double, 3>& a, const std::array<double, 3>& b, int ia, int ib,
                 double& rho) {
    const double ra = defokb_r(ia);
    const double rb = defokb_r(ib);
    const double ca = defokb_c(ia);
    const double cb = defokb_c(ib);
    // The pair's bond-valence radius, corrected for the difference in electronegativity.
    const double root = std::sqrt(ca) - std::sqrt(cb);
    const double r0 = ra + rb - ra * rb * (root * root) / (ca * ra + cb * rb);
    const double dx = a[0] - b[0];
    const double dy = a[1] - b[1];
    const double dz = a[2] - b[2];
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    rho = std::exp((r0 - d * angstrom_per_bohr) / 0.37);
    return rho;
}
