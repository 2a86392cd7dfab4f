// Reads the Psi4 coordinate table that defines the atoms: the underline after the header, then
// atom lines up to a blank line. Counts the atoms; when storing, also decodes each label and
// position (Angstrom, or Bohr when the table was announced in Bohr).
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <ostream>
#include <string>

namespace {

// First entry whose symbol the label spells, also behind a "J." or "GH." that is still there
// after the prefixes were taken off; 0 when none does.
int labelelement(std::string_view label) {
    for (int z = 1; z <= nelements; ++z) {
        const std::string nam(defatnam(z));
        if (label.substr(0, 4) == "J." + nam || label.substr(0, 5) == "GH." + nam ||
            label.substr(0, 2) == nam) {
            return z;
        }
    }
    return 0;
}

// "J.C" marks a special atom and "GH.C" a ghost; "C.1" is carbon.
void decodeatom(Store& s, const FreeRead& f, std::string_view line, double rconvrs) {
    const int a = s.nat;
    std::string label = fixedtext(upcase(f.fndstrings(1)), FreeRead::maxstring);
    if (label.starts_with("J.")) {
        s.idesp(a) = 1;
        label = fixedtext(label.substr(2), FreeRead::maxstring);
    }
    if (label.starts_with("GH.")) {
        s.idesp(a) = 2;
        label = fixedtext(label.substr(3), FreeRead::maxstring);
    }
    const std::size_t dot = label.find('.');
    if (label.find("J.") == std::string::npos && dot != std::string::npos) {
        label.replace(dot, std::string::npos, label.size() - dot, ' ');
    }
    const int z = labelelement(label);
    if (z == 0) {
        unknownatomlabel(s.log(), "2", label, line, "readpsi4->xyz");
    }
    s.iat(a) = z;
    s.inpcoor = 1;
    for (int k = 1; k <= 3; ++k) {
        s.xyz(k, a) = rconvrs * f.fndreals(k) / angstrom_per_bohr;
    }
}

} // namespace

void readpsi4xyz(Store& s, InputFile& in, bool store, double rconvrs) {
    std::string_view line;
    if (!in.getline(line)) {
        s.log() << "premature end of Psi4 output file while reading XYZ\n";
        myexit("premature end of Psi4 output", "readpsi4");
    }
    while (true) {
        if (!in.getline(line)) {
            s.log() << "premature end of Psi4 output file while reading XYZ\n";
            return;
        }
        if (len_trim(line) == 0) {
            return;
        }
        if (store && s.nat >= s.iat.hi()) {
            myexit("More atoms than counted", "readpsi4");
        }
        ++s.nat;
        if (store) {
            decodeatom(s, freerd(line), line, rconvrs);
        }
    }
}
