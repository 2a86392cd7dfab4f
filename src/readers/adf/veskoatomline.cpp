// Decodes one atom line of a VESKO atom table: the first field names the element, and a label
// with a "." suffix (C.QM) is kept as the atom's label; the first three reals are Bohr.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/adf/adfreaders.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <ostream>

void veskoatomline(Store& s, std::string_view line) {
    if (s.nat >= s.iat.size()) {
        myexit("More atoms than counted", "readvesko");
    }
    const FreeRead f = freerd(line);
    std::string label = upcase(f.fndstrings(1));
    // The "J." prefix marks nothing here; it is dropped without a trace.
    if (label.starts_with("J.")) {
        label.erase(0, 2);
    }
    ++s.nat;
    const int a = s.nat;
    // The suffix names the atom's role (C.QM); the element lies before it.
    const std::size_t point = label.find('.');
    if (point != std::string::npos) {
        s.atdescr(a) = fixedtext(label, 10);
        label.erase(point);
    }
    label = fixedtext(label, FreeRead::maxstring);

    const int z = elementnumber(label);
    if (z == 0) {
        unknownatomlabel(s.log(), "", label, line, "readvesko->xyz");
    }
    s.iat(a) = z;
    s.inpcoor = 1;
    for (int k = 1; k <= 3; ++k) {
        s.xyz(k, a) = f.fndreals(k);
    }
}
