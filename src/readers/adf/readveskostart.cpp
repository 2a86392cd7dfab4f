// Reads the VESKO atom table printed after "Info read from ATOMS block": one atom per line, no
// header, up to a blank line or one of the notes the program prints right after the table.
#include "control/control.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

namespace {

bool endstable(std::string_view line) {
    return len_trim(line) == 0 || line.starts_with("Changing DefCovRad") ||
           line.starts_with("Insufficient number ");
}

} // namespace

void readveskostart(Store& s, InputFile& in, bool store) {
    readatomtable(s, in, store, {0, "", endstable, veskoatomline});
}
