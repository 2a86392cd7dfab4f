// Reads a DAT file: three header lines, whatever they hold, then atom lines in Angstrom and
// degrees, either Cartesian or internal coordinates with their three reference atoms. The
// kind of the last atom line holds for the whole molecule.
#include "readers/readers.h"
#include "store/atominfo.h"

void readdat(Store& s, InputFile& in) {
    AtomLineOptions options;
    options.zmatrix = true;
    storeatomlines(s, in, countatomlines(in, 3), 3, "readdat", options);
}
