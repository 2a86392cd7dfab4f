// Reads the final geometry of an archive file: the block after the first line that holds
// "FINAL GEOMETRY OBTAINED". Three header lines (keywords, title, comment) follow the marker
// and are skipped whatever they hold, blank ones included, since title and comment are often
// empty; then atom lines in Angstrom and degrees run up to the first line without any field.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

namespace {

// Moves past the marker line and the three header lines after it; false when the file ends
// before that.
bool skiptoatoms(InputFile& in) {
    std::string_view line;
    while (in.getline(line)) {
        if (line.find("FINAL GEOMETRY OBTAINED") != std::string_view::npos) {
            return in.getline(line) && in.getline(line) && in.getline(line);
        }
    }
    return false;
}

// Separators, the equals sign included, are no field.
bool nofield(std::string_view line) {
    const FreeRead f = freerd(line);
    return f.nfndi + f.nfndr + f.nfnds == 0;
}

} // namespace

void readarc(Store& s, InputFile& in) {
    int found = 0;
    std::string_view line;
    if (skiptoatoms(in)) {
        while (in.getline(line) && !nofield(line)) {
            ++found;
        }
    }
    if (found == 0) {
        myexit("No atoms found", "readarc");
    }

    s.nat = found;
    allocstuff(s);
    in.rewind();
    s.nat = 0;
    skiptoatoms(in);
    AtomLineOptions options;
    options.zmatrix = true;
    for (int k = 1; k <= found && in.getline(line); ++k) {
        parseatomline(s, line, "readarc", options);
    }
}
