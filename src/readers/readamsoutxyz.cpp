// Reads the AMS atom table that follows its "X Y Z" header line into geometry ngeom: two more
// header lines, then one atom per line up to a blank line.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

void readamsoutxyz(Store& s, InputFile& in, bool store) {
    std::string_view line;
    for (int header = 1; header <= 2; ++header) {
        if (!in.getline(line)) {
            std::cout << "premature end of ADF output file while reading XYZ\n";
            myexit("premature end of ADF output", "readamsout");
        }
    }
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
