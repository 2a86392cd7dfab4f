// The element of an atom line of an NWChem or Q-Chem table from its tag: the first field,
// upper-cased, with any prefix up to a point removed ("Bq.C" reads as carbon), then its leading
// letters, so that numbered tags such as "H1" or "O2a" read as their element. A whole-number
// nuclear charge that names an element wins over the tag: a tag "CA" with charge 6 is a C-alpha
// carbon, not calcium.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"

#include <cmath>
#include <ostream>

namespace {

// Element 93 is the last real element of the table; 94 is the dummy atom and the entries above
// it are second entries reached through their numbers only.
constexpr double lastelement = 93.0;

int chargeelement(double charge) {
    if (charge >= 1.0 && charge <= lastelement && std::floor(charge) == charge) {
        return int(charge);
    }
    return 0;
}

} // namespace

int tagelement(std::ostream& log, const FreeRead& f, std::string_view line,
               std::string_view routine, double charge) {
    std::string symbol = upcase(f.fndstrings(1));
    const std::size_t point = symbol.find('.');
    if (point != std::string::npos) {
        symbol.erase(0, point + 1);
    }
    std::size_t letters = 0;
    while (letters < symbol.size() && symbol[letters] >= 'A' && symbol[letters] <= 'Z') {
        ++letters;
    }
    const int fromtag = elementnumber(std::string_view(symbol).substr(0, letters));
    const int fromcharge = chargeelement(charge);
    const int z = fromcharge != 0 ? fromcharge : fromtag;
    if (z == 0) {
        unknownatomtype(log, symbol, record(line), routine);
    }
    return z;
}
