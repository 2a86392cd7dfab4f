// The two passes shared by the DRF readers: the external-charge blocks of a DRF input or output,
// each atom with its element, point charge, Bohr coordinates and optional label, group name and
// group number. Every block starts the atom list afresh, so the last block gives the molecule.
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace {

enum class Kind { other, head, end, atom };

// The head and end tests look at the line without its leading blanks; the lines passed over
// are told by fixed columns of the line as read.
Kind classify(const std::string& up, const FreeRead& f, bool open) {
    const std::string_view left = trimleft(up);
    if (f.nfnds == 1 && (left.starts_with("EXTERNAL") || left.starts_with("$EXTERNAL"))) {
        return Kind::head;
    }
    if (!open) {
        return Kind::other;
    }
    if (left.starts_with("END") || left.starts_with("$END")) {
        return Kind::end;
    }
    const std::string_view cols(up);
    if (cols.substr(0, 5) == "GROUP" || cols.substr(0, 5) == "SUBGR" ||
        cols.substr(0, 7) == "NEWFRAG" || cols.substr(5, 4) == "NOMC" ||
        cols.substr(9, 4) == "ANAL") {
        return Kind::other;
    }
    return Kind::atom;
}

void storeatom(Store& s, const std::string& up, const FreeRead& f, std::string_view routine) {
    const std::string_view label = f.fndstrings(1);
    const bool dummy = label == "QQ" || label == "CM";
    const int z = elementnumber(dummy ? std::string_view("XX") : label);
    if (z == 0) {
        unknownatomtype(s.log(), label, up, routine);
    }
    // The first pass sized the tables from the last block; an earlier block may not outgrow it.
    if (s.nat + 1 > s.iat.hi()) {
        myexit("More atoms in a block than in the last block", routine);
    }
    const int a = ++s.nat;
    s.iat(a) = z;
    s.inpcoor = 1;
    s.chrg(a) = f.fndreals(1);
    for (int k = 1; k <= 3; ++k) {
        s.xyz(k, a) = f.fndreals(k + 1);
    }
    // How many strings the line holds decides which of them are label and group name, and
    // which integer is the group number.
    const std::string numbered =
        std::string(trimright(defatnamlow(z))) + getsuffix(f.fndintegers(1));
    if (f.nfnds == 1) {
        s.atdescr(a) = fixedtext(numbered, 10);
        s.iatmol(a) = clampint(f.fndintegers(3));
    } else if (f.nfnds == 2) {
        s.atdescr(a) = fixedtext(numbered, 10);
        s.moldescr(a) = fixedtext(f.fndstrings(2), 10);
        s.iatmol(a) = clampint(f.fndintegers(2));
    } else {
        s.atdescr(a) = fixedtext(f.fndstrings(2), 10);
        s.moldescr(a) = fixedtext(f.fndstrings(3), 10);
        s.iatmol(a) = clampint(f.fndintegers(1));
    }
}

} // namespace

void readdrfblocks(Store& s, InputFile& in, std::string_view routine, bool sequence) {
    std::string_view line;
    bool open = false;
    int count = 0;
    int closed = 0;
    in.rewind();
    while (in.getline(line)) {
        if (len_trim(line) == 0) {
            continue;
        }
        const std::string up = upcase(record(line));
        switch (classify(up, freerd(up), open)) {
        case Kind::head:
            count = 0;
            open = true;
            break;
        case Kind::end:
            open = false;
            ++closed;
            break;
        case Kind::atom:
            ++count;
            break;
        case Kind::other:
            break;
        }
    }
    if (count == 0) {
        myexit("No atoms found", routine);
    }
    s.nat = count;
    // Only closed blocks become geometries, so the sequence has no frame that was never stored.
    if (sequence) {
        s.ngeom = closed;
    }
    sizestore(s, in, routine);
    s.nat = 0;
    if (sequence) {
        s.ngeom = 0;
    }
    open = false;
    while (in.getline(line)) {
        if (len_trim(line) == 0) {
            continue;
        }
        const std::string up = upcase(record(line));
        const FreeRead f = freerd(up);
        switch (classify(up, f, open)) {
        case Kind::head:
            s.nat = 0;
            open = true;
            break;
        case Kind::end:
            open = false;
            if (sequence) {
                // A shorter block would leave atoms of an earlier one in its frame.
                if (s.nat != s.iat.hi()) {
                    myexit("Fewer atoms in a block than in the last block", routine);
                }
                const int g = ++s.ngeom;
                for (int a = 1; a <= s.nat; ++a) {
                    for (int k = 1; k <= 3; ++k) {
                        s.xgeo(k, a, g) = s.xyz(k, a);
                    }
                }
                s.egeo(g) = s.energy; // the output carries no energy
            }
            break;
        case Kind::atom:
            storeatom(s, up, f, routine);
            break;
        case Kind::other:
            break;
        }
    }
}
