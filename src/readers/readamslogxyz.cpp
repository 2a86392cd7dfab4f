// Reads an AMS atom table in the geometry-cycle style into geometry ngeom: one header line, then
// one atom per line up to a blank line, a line that mentions "coordinates", or a log line holding
// ">>".
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

void readamslogxyz(Store& s, InputFile& in, bool store) {
    std::string_view line;
    if (!in.getline(line)) {
        std::cout << "premature end of ADF output file while reading XYZ\n";
        myexit("premature end of ADF output", "readamsout");
    }
    while (true) {
        if (!in.getline(line)) {
            std::cout << "premature end of ADF output file while reading XYZ\n";
            return;
        }
        if (len_trim(line) == 0 || line.find("coordinates") != std::string_view::npos ||
            line.find(">>") != std::string_view::npos) {
            return;
        }
        if (store) {
            adfatomline(s, line, true, "readamsout", s.ngeom);
        } else {
            ++s.nat;
        }
    }
}
