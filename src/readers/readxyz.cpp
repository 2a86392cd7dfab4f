// Reads an XYZ file: the atom count on line 1, a title on line 2, then one atom line per atom
// in Angstrom. A file with several frames fails the count.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <iostream>

void readxyz(Store& s, InputFile& in) {
    long long announced = 0;
    int found = 0;
    std::string_view line;
    while (in.getline(line)) {
        if (in.lineno() == 1) {
            announced = freerd(line).fndintegers(1);
        } else if (in.lineno() > 2 && len_trim(line) > 0) {
            ++found;
        }
    }
    if (found != announced) {
        std::cout << "Need " << fw::I(announced, 5) << " atoms, found only " << fw::I(found, 5)
                  << " lines with ATOM info..\n";
        myexit("Not enough ATOMS", "readxyz");
    }
    if (found == 0) {
        myexit("No atoms found", "readxyz");
    }

    s.nat = found;
    allocstuff(s);
    in.rewind();
    s.nat = 0;
    AtomLineOptions options;
    options.integercoords = true;
    while (in.getline(line)) {
        if (in.lineno() > 2 && len_trim(line) > 0) {
            parseatomline(s, line, "readxyz", options);
        }
    }
}
