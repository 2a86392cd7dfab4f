// The element of an atom line of an NWChem output: the first field, upper-cased, with any prefix
// up to a point removed, so that a tag "Bq.C" reads as carbon.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"

#include <iostream>

int nwchemelement(const FreeRead& f, std::string_view line, std::string_view routine) {
    std::string symbol = upcase(f.fndstrings(1));
    const std::size_t point = symbol.find('.');
    if (point != std::string::npos) {
        symbol.erase(0, point + 1);
    }
    const int z = elementnumber(symbol);
    if (z == 0) {
        std::cout << "Unknown atomtype found: " << fixedtext(symbol, 2) << '\n'
                  << "LINE: " << record(line) << '\n';
        myexit("Unknown atomtype found", routine);
    }
    return z;
}
