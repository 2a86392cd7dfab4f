// A crashed or cut-off job still converts what was read; one line on standard error says so,
// leaving standard output as a finished run's.
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

void noteunfinished(const Store& s, int finalgeometry) {
    std::cerr << "kru: note: the run did not finish: final structure is ";
    if (finalgeometry >= 1) {
        std::cerr << "geometry " << finalgeometry << " of " << s.ngeom;
        if (finalgeometry == s.ngeom) {
            std::cerr << ", the last complete one";
        }
    } else {
        std::cerr << "the last atom table read";
    }
    std::cerr << '\n';
}
