// Reads the final geometry of an archive file: the block after the first line that holds
// "FINAL GEOMETRY OBTAINED". Three header lines (keywords, title, comment) follow the marker
// and are skipped whatever they hold, blank ones included, since title and comment are often
// empty; then atom lines in Angstrom and degrees run up to the first line without any field. The
// heat of formation printed before the marker is the molecule's energy.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

namespace {

// Moves past the marker line and the three header lines after it, keeping the last heat of
// formation (kcal/mol) before the marker in `energy` (Hartree); false when the file ends before
// that.
bool skiptoatoms(InputFile& in, double& energy) {
    std::string_view line;
    while (in.getline(line)) {
        if (line.find("HEAT OF FORMATION") != std::string_view::npos &&
            line.find("KCAL") != std::string_view::npos) {
            const FreeRead f = freerd(line);
            if (f.nfndr >= 1) {
                energy = f.fndreals(1) / kcal_per_hartree;
            }
        } else if (line.find("FINAL GEOMETRY OBTAINED") != std::string_view::npos) {
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
    double energy = 0.0;
    if (skiptoatoms(in, energy)) {
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
    skiptoatoms(in, s.energy);
    // The arrangement step makes the molecule geometry 1, which keeps this energy.
    s.egeo(1) = s.energy;
    AtomLineOptions options;
    options.zmatrix = true;
    for (int k = 1; k <= found && in.getline(line); ++k) {
        parseatomline(s, line, "readarc", options);
    }
}
