// Writes the two coordinate files of one linear-transit point, named after the output file: an
// XYZ file with the energy in its title, and the bare atom lines in a ".angs" file.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <vector>

namespace {

void writefile(const std::string& name, const std::vector<std::string>& lines,
               std::string_view kind) {
    OutputFile out;
    if (!out.open(name)) {
        myexit("Error opening LT " + std::string(kind) + " file", "readvesko:readltxyze");
    }
    for (const std::string& l : lines) {
        out.line(l);
    }
    if (!out.close()) {
        myexit("Error writing LT " + std::string(kind) + " file", "readvesko:readltxyze");
    }
}

} // namespace

void writeltpoint(Store& s, std::string_view suffix) {
    const std::vector<std::string> atoms = ltatomlines(s);

    // title: "LT-Step", the point's suffix, 3 blanks, energy (kcal/mol) F15.4
    std::string title = "LT-Step" + std::string(suffix) + "   ";
    fw::F(title, s.energy * kcal_per_hartree, 15, 4);
    std::vector<std::string> xyzlines{fw::I(s.nat, 4), title};
    xyzlines.insert(xyzlines.end(), atoms.begin(), atoms.end());
    const std::string xyzname = ltpointname(s, suffix, ".xyz");
    const std::string angsname = ltpointname(s, suffix, ".angs");
    // Readers check every point before their first one; this covers a reader that does not.
    refuseoverwrite(s, xyzname);
    refuseoverwrite(s, angsname);
    writefile(s.path(xyzname), xyzlines, "xyz");
    writefile(s.path(angsname), atoms, "angs");
}
