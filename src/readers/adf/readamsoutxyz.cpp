// Reads the AMS atom table that follows its "X Y Z" header line into geometry ngeom: two more
// header lines, then one atom per line up to a blank line.
#include "control/control.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

namespace {

bool blank(std::string_view line) {
    return len_trim(line) == 0;
}

void atom(Store& s, std::string_view line) {
    adfatomline(s, line, false, "readamsout", s.ngeom);
}

} // namespace

void readamsoutxyz(Store& s, InputFile& in, bool store) {
    readatomtable(s, in, store, {2, "readamsout", blank, atom});
}
