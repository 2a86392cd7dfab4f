// Reads the AMS atom table that follows its "Index Symbol" header line into geometry ngeom: one
// atom per line up to a blank line.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

void readamsoutxyz2(Store& s, InputFile& in, bool store) {
    std::string_view line;
    while (true) {
        if (!in.getline(line)) {
            // The atoms read so far stay.
            std::cout << "premature end of ADF output file while reading XYZ\n";
            return;
        }
        if (len_trim(line) == 0) {
            return;
        }
        if (store) {
            adfatomline(s, line, false, "readamsout", s.ngeom);
        } else {
            ++s.nat;
        }
    }
}
