// Whether a molecule is linear, which leaves it one rotation fewer among the modes a program
// prints at zero frequency.
#include "readers/readers.h"
#include "store/store.h"

#include <cmath>

bool linearmolecule(const Store& s, int g) {
    if (s.nat <= 2) {
        return true;
    }
    constexpr double tolerance = 1e-3 / angstrom_per_bohr; // well above the printed precision
    const auto along = [&](int a, int k) { return s.xgeo(k, a, g) - s.xgeo(k, 1, g); };
    int far = 1;
    double farthest = 0.0;
    for (int a = 2; a <= s.nat; ++a) {
        const double d = std::hypot(along(a, 1), along(a, 2), along(a, 3));
        if (d > farthest) {
            farthest = d;
            far = a;
        }
    }
    if (farthest < tolerance) {
        return true;
    }
    for (int a = 2; a <= s.nat; ++a) {
        // The distance of atom a from the line through atom 1 and the farthest atom.
        const double cx = along(a, 2) * along(far, 3) - along(a, 3) * along(far, 2);
        const double cy = along(a, 3) * along(far, 1) - along(a, 1) * along(far, 3);
        const double cz = along(a, 1) * along(far, 2) - along(a, 2) * along(far, 1);
        if (std::hypot(cx, cy, cz) / farthest > tolerance) {
            return false;
        }
    }
    return true;
}
