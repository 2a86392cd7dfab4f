// Reads an ADF atom table in the geometry-cycle style: one header line, then one atom per line up
// to a blank line, a line that mentions "coordinates", or a log line holding ">>".
#include "control/control.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

namespace {

// A blank line, the next heading, or a log line: no more atoms.
bool endstable(std::string_view line) {
    return len_trim(line) == 0 || line.find("coordinates") != std::string_view::npos ||
           line.find(">>") != std::string_view::npos;
}

void atom(Store& s, std::string_view line) {
    adfatomline(s, line, true);
}

} // namespace

void readadflogxyz(Store& s, InputFile& in, bool store) {
    readatomtable(s, in, store, {1, "readadfout", endstable, atom});
}
