// Decodes one atom line of an ADF atom table: the label gives the element and marks "J." and
// ghost atoms, the first three reals are the coordinates in Angstrom.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/adf/adfreaders.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <ostream>

namespace {

// Only the leading characters take part: two of a bare symbol, four with "J.", five with "GH.".
int adfelement(std::string_view label) {
    for (int z = 1; z <= nelements; ++z) {
        const std::string nam(defatnam(z));
        if (label.substr(0, 4) == "J." + nam || label.substr(0, 5) == "GH." + nam ||
            label.substr(0, 2) == nam) {
            return z;
        }
    }
    return 0;
}

} // namespace

void adfatomline(Store& s, std::string_view line, bool cycletable, std::string_view reader,
                 int geometry) {
    if (s.nat >= s.iat.size()) {
        myexit("More atoms than counted", reader);
    }
    const FreeRead f = freerd(line);
    std::string label(f.fndstrings(1));
    // A geometry-cycle label carries the atom number in front: "12.C".
    if (cycletable) {
        const std::size_t point = label.find('.');
        if (point != std::string::npos) {
            label.erase(0, point + 1);
        }
    }
    label = upcase(label);
    ++s.nat;
    const int a = s.nat;
    if (label.starts_with("J.")) {
        s.idesp(a) = 1;
        label.erase(0, 2);
    }
    if (label.starts_with("GH.")) {
        s.idesp(a) = 2;
        label.erase(0, 3);
    }
    // A suffix such as the ".1" of "C.1" names a basis or fragment, not the element.
    if (cycletable || label.find("J.") == std::string::npos) {
        const std::size_t point = label.find('.');
        if (point != std::string::npos) {
            label.erase(point);
        }
    }
    label = fixedtext(label, FreeRead::maxstring);

    const int z = adfelement(label);
    if (z == 0) {
        unknownatomlabel(s.log(), cycletable ? "3" : "2", label, line,
                         std::string(reader) + "->xyz");
    }
    s.iat(a) = z;
    for (int k = 1; k <= 3; ++k) {
        const double x = f.fndreals(k) / angstrom_per_bohr;
        if (geometry > 0) {
            s.xgeo(k, a, geometry) = x;
        } else {
            s.xyz(k, a) = x;
        }
    }
    s.inpcoor = 1;
}
