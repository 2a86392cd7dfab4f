// The layout the ADF, AMS and VESKO atom tables share: header lines, then one atom per line up
// to a line that ends the table.
#include "control/control.h"
#include "control/files.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <ostream>

void readatomtable(Store& s, InputFile& in, bool store, const AtomTable& table) {
    constexpr std::string_view premature = "premature end of ADF output file while reading XYZ\n";
    std::string_view line;
    for (int header = 1; header <= table.headers; ++header) {
        if (!in.getline(line)) {
            s.log() << premature;
            if (!table.routine.empty()) {
                myexit("premature end of ADF output", table.routine);
            }
        }
    }
    while (true) {
        if (!in.getline(line)) {
            // The atoms read so far stay.
            s.log() << premature;
            return;
        }
        if (table.ends(line)) {
            return;
        }
        if (store) {
            table.atom(s, line);
        } else {
            ++s.nat;
        }
    }
}
