// Reads the VESKO atom table printed after "Info read from ATOMS block": one atom per line, no
// header, up to a blank line or one of the notes the program prints right after the table.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include <iostream>

void readveskostart(Store& s, InputFile& in, bool store) {
    std::string_view line;
    while (true) {
        if (!in.getline(line)) {
            // The atoms read so far stay.
            std::cout << "premature end of ADF output file while reading XYZ\n";
            return;
        }
        if (len_trim(line) == 0 || line.starts_with("Changing DefCovRad") ||
            line.starts_with("Insufficient number ")) {
            return;
        }
        if (store) {
            veskoatomline(s, line);
        } else {
            ++s.nat;
        }
    }
}
