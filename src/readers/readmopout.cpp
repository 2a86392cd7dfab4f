// Reads the first Cartesian coordinate table of a MOPAC output: atom lines in Angstrom after the
// table head and two more lines, up to the first blank line.
#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

namespace {

constexpr std::string_view routine = "readmopout";
constexpr std::string_view tablehead = "     ATOM     ELEMENTAL            CARTESIAN COORDINATES";

// Hands every atom line of the first coordinate table to atom; later tables are never looked at.
template <class Atom> void firsttable(InputFile& in, Atom atom) {
    in.rewind();
    std::string_view line;
    while (in.getline(line)) {
        if (line.find(tablehead) != std::string_view::npos) {
            if (!in.getline(line) || !in.getline(line)) {
                return;
            }
            while (in.getline(line) && len_trim(line) > 0) {
                atom(line);
            }
            return;
        }
    }
}

} // namespace

void readmopout(Store& s, InputFile& in) {
    int count = 0;
    firsttable(in, [&count](std::string_view) { ++count; });
    if (count == 0) {
        myexit("No atoms found", routine);
    }
    s.nat = count;
    allocstuff(s);
    s.nat = 0;
    AtomLineOptions options;
    options.integercoords = true;
    firsttable(in, [&](std::string_view line) { parseatomline(s, line, routine, options); });
}
