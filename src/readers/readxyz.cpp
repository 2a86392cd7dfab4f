// Reads an XYZ file: the atom count on line 1, a title on line 2, then one atom line per atom
// in Angstrom. A file with several frames fails the count.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"

#include <ostream>

void readxyz(Store& s, InputFile& in) {
    std::string_view line;
    const long long announced = in.getline(line) ? freerd(line).fndintegers(1) : 0;
    const int found = countatomlines(in, 2);
    if (found != announced) {
        s.log() << "Need " << fw::I(announced, 5) << " atoms, found only " << fw::I(found, 5)
                << " lines with ATOM info..\n";
        myexit("Not enough ATOMS", "readxyz");
    }
    AtomLineOptions options;
    options.integercoords = true;
    storeatomlines(s, in, found, 2, "readxyz", options);
}
