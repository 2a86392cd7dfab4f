// Reads the final geometry of an archive file: the block after the first line that holds
// "FINAL GEOMETRY OBTAINED", three header lines and then atom lines in Angstrom and degrees,
// up to the first line without any field.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

namespace {

constexpr int headerlines = 3;

// Moves past the marker line; false when the file has none.
bool findmarker(InputFile& in) {
    std::string_view line;
    while (in.getline(line)) {
        if (line.find("FINAL GEOMETRY OBTAINED") != std::string_view::npos) {
            return true;
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
    int counted = 0;
    std::string_view line;
    if (findmarker(in)) {
        while (in.getline(line) && !nofield(line)) {
            ++counted;
        }
    }
    if (counted <= headerlines) {
        myexit("No atoms found", "readarc");
    }

    s.nat = counted - headerlines;
    allocstuff(s);
    in.rewind();
    s.nat = 0;
    findmarker(in);
    AtomLineOptions options;
    options.zmatrix = true;
    for (int k = 1; k <= counted && in.getline(line); ++k) {
        if (k > headerlines) {
            parseatomline(s, line, "readarc", options);
        }
    }
}
