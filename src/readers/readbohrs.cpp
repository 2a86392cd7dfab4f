// Reads a bare list of atom lines in Bohr: a symbol and three reals each.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

void readbohrs(Store& s, InputFile& in) {
    int found = 0;
    std::string_view line;
    while (in.getline(line)) {
        if (len_trim(line) > 0) {
            ++found;
        }
    }
    if (found == 0) {
        myexit("No atoms found", "readbohrs");
    }

    s.nat = found;
    allocstuff(s);
    in.rewind();
    s.nat = 0;
    AtomLineOptions options;
    options.angstrom = false;
    while (in.getline(line)) {
        if (len_trim(line) > 0) {
            parseatomline(s, line, "readbohrs", options);
        }
    }
}
