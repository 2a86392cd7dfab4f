// Reads a bare list of atom lines in Angstrom. The element may be a symbol, a ghost or other
// prefixed label ("GH.C" is carbon) or an element number.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

void readangs(Store& s, InputFile& in) {
    int found = 0;
    std::string_view line;
    while (in.getline(line)) {
        if (len_trim(line) > 0) {
            ++found;
        }
    }
    if (found == 0) {
        myexit("No atoms found", "readangs");
    }

    s.nat = found;
    allocstuff(s);
    in.rewind();
    s.nat = 0;
    AtomLineOptions options;
    options.elementnumber = true;
    options.integercoords = true;
    options.prefixremoval = true;
    while (in.getline(line)) {
        if (len_trim(line) > 0) {
            parseatomline(s, line, "readangs", options);
        }
    }
}
