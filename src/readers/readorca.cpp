// Reads an ORCA output: the atom count, and every Cartesian coordinate block of the chosen run
// as one geometry of the sequence; the selected geometry becomes the final structure. Energies
// and vibrations are not read.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "control/markerset.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <climits>
#include <iostream>
#include <string>

namespace {

// The markers of the output, found in one pass over each line; one that ends in blanks is also
// found at the end of a shorter line.
enum Marker : std::uint64_t { banner = 1, atomcount = 2, coordinates = 4 };
MarkerSet markers() {
    return MarkerSet{" O   R   C   A ", "Number of atoms", "CARTESIAN COORDINATES (ANGSTROEM)"};
}

// The element of an atom line's label: "J." is dropped without a mark, and a suffix after a
// "." is cut ("C.1" is carbon). There is no ghost-atom form here.
int orcaelement(const FreeRead& f, std::string_view line) {
    std::string label = fixedtext(upcase(f.fndstrings(1)), FreeRead::maxstring);
    if (label.starts_with("J.")) {
        label = fixedtext(label.substr(2), FreeRead::maxstring);
    }
    const std::size_t dot = label.find('.');
    if (dot != std::string::npos) {
        label.replace(dot, std::string::npos, label.size() - dot, ' ');
    }
    const int z = elementnumber(label);
    if (z == 0) {
        std::cout << "Unable to extract ATOMlabel from next line (tried with " << label.substr(0, 2)
                  << ")\n"
                  << record(line) << '\n';
        myexit("Unable to find ATOMlabel", "readvesko->xyz");
    }
    return z;
}

// One coordinate block after its marker line: the underline, then nat atom lines. The labels
// are decoded only from the first block; later blocks keep that atom order. False when the file
// ends inside the block, which is then not stored.
bool readblock(Store& s, InputFile& in, bool decode) {
    std::string_view line;
    if (!in.getline(line)) {
        std::cout << "premature end of ORCA output file while reading Geom.Upd. Continuing...\n";
        return false;
    }
    for (int i = 1; i <= s.nat; ++i) {
        if (!in.getline(line)) {
            std::cout << "premature end of ADF output file while reading Geom.Upd. Continuing...\n";
            return false;
        }
        const FreeRead f = freerd(line);
        for (int k = 1; k <= 3; ++k) {
            s.xyztmp(k, i) = f.fndreals(k) / angstrom_per_bohr;
        }
        if (decode) {
            s.iat(i) = orcaelement(f, line);
            s.inpcoor = 1;
        }
    }
    return true;
}

} // namespace

void readorca(Store& s, InputFile& in) {
    std::string_view line;
    int counted = 0; // coordinate blocks of the first pass: the room in the geometry tables
    s.nat = 0;
    in.rewind();
    const MarkerSet set = markers();
    while (in.getline(line)) {
        const std::uint64_t found = set.find(line);
        if (found & banner) {
            ++s.nrjobs;
        } else if (s.job == 0 || s.job == s.nrjobs) {
            if (found & atomcount) {
                s.nat = int(std::clamp<long long>(freerd(line).fndintegers(1), INT_MIN, INT_MAX));
            } else if (found & coordinates) {
                ++counted;
            }
        }
    }
    // A negative count is no more an atom count than 0 is.
    if (s.nat <= 0) {
        std::cout << "NAT is 0 (zerooooo!!!) stopping now ...\n";
        myexit("No ATOMS found", "readorca");
    }
    s.ngeom = counted;
    allocstuff(s);
    in.rewind();
    // By default the last run; a file without banner is one run, numbered 0.
    if (s.job == 0) {
        s.job = s.nrjobs;
    }
    s.ngeom = 0;
    long long jobcounter = 0;
    bool decoded = false;
    while (in.getline(line)) {
        const std::uint64_t found = set.find(line);
        if (found & banner) {
            ++jobcounter;
        } else if ((found & coordinates) && jobcounter == s.job) {
            if (!readblock(s, in, !decoded)) {
                continue;
            }
            decoded = true;
            if (s.ngeom >= counted) {
                myexit("More geometries than counted", "readorca");
            }
            ++s.ngeom;
            for (int a = 1; a <= s.nat; ++a) {
                for (int k = 1; k <= 3; ++k) {
                    s.xgeo(k, a, s.ngeom) = s.xyztmp(k, a);
                }
            }
            s.egeo(s.ngeom) = s.energy;
        }
    }
    // Without one whole block the atoms would have no elements and no coordinates.
    if (!decoded) {
        myexit("No coordinates found", "readorca");
    }
    const long long g = s.idgeo >= 1 && s.idgeo <= s.ngeom ? s.idgeo : s.ngeom;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xyz(k, a) = s.xgeo(k, a, g);
        }
    }
}
