// Reads an ADF atom table in the geometry-cycle style: one header line, then one atom per line up
// to a blank line, a line that mentions "coordinates", or a log line holding ">>".
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

void readadflogxyz(Store& s, InputFile& in, bool store) {
    std::string_view line;
    if (!in.getline(line)) {
        std::cout << "premature end of ADF output file while reading XYZ\n";
        myexit("premature end of ADF output", "readadfout");
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
            adfatomline(s, line, true);
        } else {
            ++s.nat;
        }
    }
}
