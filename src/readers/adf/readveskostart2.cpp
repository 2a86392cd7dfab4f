// Reads the VESKO atom table after its "x (Bohrs)" header: one line of column units, then one
// atom per line up to a blank line, the symmetry heading or one of the notes that follow it. The
// end of the file at the units line is only said (and said again where the first atom would be).
#include "control/control.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

namespace {

bool endstable(std::string_view line) {
    return len_trim(line) == 0 || trimright(line) == "Initial VESKO Symmetry" ||
           line.starts_with("Changing DefCovRad") || line.starts_with("Insufficient number ");
}

} // namespace

void readveskostart2(Store& s, InputFile& in, bool store) {
    readatomtable(s, in, store, {1, "", endstable, veskoatomline});
}
