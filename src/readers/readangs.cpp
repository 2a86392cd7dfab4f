// Reads a bare list of atom lines in Angstrom. The element may be a symbol, a ghost or other
// prefixed label ("GH.C" is carbon) or an element number.
#include "readers/readers.h"
#include "store/atominfo.h"

void readangs(Store& s, InputFile& in) {
    AtomLineOptions options;
    options.elementnumber = true;
    options.integercoords = true;
    options.prefixremoval = true;
    storeatomlines(s, in, countatomlines(in, 0), 0, "readangs", options);
}
