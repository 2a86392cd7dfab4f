// Geometries displaced along imaginary normal modes. A molecule without stored vibrations has no
// imaginary modes, so nothing is written until frequencies can be read.
#include "store/store.h"
#include "writers/writers.h"

void writedistort(Store& s) {
    (void)s;
}
