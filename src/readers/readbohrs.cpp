// Reads a bare list of atom lines in Bohr: a symbol and three reals each.
#include "readers/readers.h"
#include "store/atominfo.h"

void readbohrs(Store& s, InputFile& in) {
    AtomLineOptions options;
    options.angstrom = false;
    storeatomlines(s, in, countatomlines(in, 0), 0, "readbohrs", options);
}
