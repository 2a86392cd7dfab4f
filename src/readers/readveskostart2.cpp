// Reads the VESKO atom table after its "x (Bohrs)" header: one line of column units, then one
// atom per line up to a blank line, the symmetry heading or one of the notes that follow it.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

void readveskostart2(Store& s, InputFile& in, bool store) {
    std::string_view line;
    if (!in.getline(line)) {
        // The loop below meets the end of the file again and says so once more.
        std::cout << "premature end of ADF output file while reading XYZ\n";
    }
    while (true) {
        if (!in.getline(line)) {
            std::cout << "premature end of ADF output file while reading XYZ\n";
            return;
        }
        if (len_trim(line) == 0 || trimright(line) == "Initial VESKO Symmetry" ||
            line.starts_with("Changing DefCovRad") || line.starts_with("Insufficient number ")) {
            return;
        }
        if (store) {
            veskoatomline(s, line);
        } else {
            ++s.nat;
        }
    }
}
