// The two passes shared by the readers of plain atom lists: count the non-blank lines after a
// header, create the tables, then decode every one of them as an atom.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

int countatomlines(InputFile& in, long long skip) {
    in.rewind();
    int found = 0;
    std::string_view line;
    while (in.getline(line)) {
        if (in.lineno() > skip && len_trim(line) > 0) {
            ++found;
        }
    }
    return found;
}

void storeatomlines(Store& s, InputFile& in, int count, long long skip, std::string_view routine,
                    const AtomLineOptions& options) {
    // Also a file too short for its header.
    if (count == 0) {
        myexit("No atoms found", routine);
    }
    s.nat = count;
    sizestore(s, in, routine);
    s.nat = 0;
    std::string_view line;
    while (in.getline(line)) {
        if (in.lineno() > skip && len_trim(line) > 0) {
            parseatomline(s, line, routine, options);
        }
    }
}
