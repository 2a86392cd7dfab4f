// Appends the geometries of a reader's second pass and pairs each with the energy printed for
// it: the first energy of the job's method after its table.
#include "control/control.h"
#include "readers/readers.h"
#include "store/store.h"

int GeometrySequence::open(bool awaitsenergy) {
    if (s_.ngeom >= s_.xgeo.extent3().hi) {
        myexit("More geometries than counted", routine_);
    }
    const int g = ++s_.ngeom;
    s_.egeo(g) = s_.energy;
    if (!awaitsenergy) {
        finish();
    }
    return g;
}

int GeometrySequence::append(bool awaitsenergy) {
    const int g = open(awaitsenergy);
    for (int a = 1; a <= s_.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s_.xgeo(k, a, g) = s_.xyztmp(k, a);
        }
    }
    return g;
}

void GeometrySequence::energy(double e) {
    s_.energy = e;
    for (int g = paired_ + 1; g <= s_.ngeom; ++g) {
        s_.egeo(g) = e;
    }
    paired_ = s_.ngeom;
}

void GeometrySequence::finish() {
    for (int g = paired_ + 1; g <= s_.ngeom; ++g) {
        s_.egeo(g) = s_.energy;
    }
    paired_ = s_.ngeom;
}
