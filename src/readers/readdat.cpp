// Reads a DAT file: three header lines, whatever they hold, then atom lines in Angstrom and
// degrees, either Cartesian or internal coordinates with their three reference atoms. The
// kind of the last atom line holds for the whole molecule.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

namespace {

constexpr long long headerlines = 3;

} // namespace

void readdat(Store& s, InputFile& in) {
    int found = 0;
    std::string_view line;
    while (in.getline(line)) {
        if (in.lineno() > headerlines && len_trim(line) > 0) {
            ++found;
        }
    }
    // Also a file too short for its header.
    if (found == 0) {
        myexit("No atoms found", "readdat");
    }

    s.nat = found;
    allocstuff(s);
    in.rewind();
    s.nat = 0;
    AtomLineOptions options;
    options.zmatrix = true;
    while (in.getline(line)) {
        if (in.lineno() > headerlines && len_trim(line) > 0) {
            parseatomline(s, line, "readdat", options);
        }
    }
}
