// A crashed or cut-off job still converts what was read; one line on standard error says so,
// leaving standard output as a finished run's.
#include "readers/readers.h"
#include "store/store.h"

#include <ostream>

void noteunfinished(Store& s, int finalgeometry) {
    s.ended = Tristate::no;
    s.err() << "kru: note: the run did not finish: final structure is ";
    if (finalgeometry >= 1) {
        s.err() << "geometry " << finalgeometry << " of " << s.ngeom;
        if (finalgeometry == s.ngeom) {
            s.err() << ", the last complete one";
        }
    } else {
        s.err() << "the last atom table read";
    }
    s.err() << '\n';
}
