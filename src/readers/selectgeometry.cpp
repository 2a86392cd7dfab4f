// The final structure of a reader with a geometry sequence: the geometry IDGEO names, or the
// last one.
#include "readers/readers.h"
#include "store/store.h"

int selectgeometry(Store& s) {
    const int g = s.idgeo >= 1 && s.idgeo <= s.ngeom ? int(s.idgeo) : s.ngeom;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xyz(k, a) = s.xgeo(k, a, g);
        }
    }
    return g;
}
