// Reads the geometry of an NWChem QM/MM run: every "Optimized QMMM geometry" or "Current QMMM
// geometry" block overwrites the atoms, so the last block in the file gives the structure.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "readers/readers.h"
#include "store/store.h"

#include <ostream>
#include <vector>

namespace {

constexpr std::string_view routine = "readnwqmmm";

bool blockstart(std::string_view line) {
    return line.find("Optimized QMMM geometry") != std::string_view::npos ||
           line.find("Current QMMM geometry") != std::string_view::npos;
}

bool blank(std::string_view line) {
    return len_trim(line) == 0;
}

// Skips the four head lines of a block; false at the end of the file.
bool skiphead(InputFile& in) {
    std::string_view line;
    for (int skipped = 0; skipped < 4;) {
        if (!in.getline(line)) {
            return false;
        }
        if (!blank(line)) {
            ++skipped;
        }
    }
    return true;
}

// The next atom line of a block; false at its end ("-----", which never ends it before its first
// atom) or at the end of the file.
bool nextatom(InputFile& in, int atoms, std::string_view& line) {
    while (in.getline(line)) {
        if (blank(line)) {
            continue;
        }
        return atoms == 0 || line.find("-----") == std::string_view::npos;
    }
    return false;
}

[[noreturn]] void reject(std::ostream& log, std::string_view what, std::string_view line,
                         std::string_view message) {
    log << what << '\n' << "LINE: " << record(line) << '\n';
    myexit(message, routine);
}

void storeatom(Store& s, int a, std::string_view line) {
    const FreeRead f = freerd(line);
    if (f.nfnds < 1) {
        reject(s.log(), "Not enough strings found: " + fw::I(f.nfnds, 2), line,
               "Not enough strings on line");
    }
    if (f.nfndr + f.nfndi < 3) {
        reject(s.log(), "Not enough reals found: " + fw::I(f.nfndr, 2), line,
               "Not enough reals on line");
    }
    const int z = tagelement(s.log(), f, line, routine, 0.0);
    if (a > s.iat.hi()) {
        myexit("More atoms than counted", routine);
    }
    s.iat(a) = z;
    s.inpcoor = 1;
    // Three reals are Angstrom; six reals are Bohr, the first three the position; any other line
    // gives its first three numbers as they stand.
    std::vector<double> numbers;
    if (f.nfndr == 3 || f.nfndr == 6) {
        const double scale = f.nfndr == 3 ? angstrom_per_bohr : 1.0;
        for (int k = 1; k <= 3; ++k) {
            numbers.push_back(f.fndreals(k) / scale);
        }
    } else {
        for (int i = 1; i <= f.nfndt && numbers.size() < 3; ++i) {
            const FieldRef r = f.fndorder(i);
            if (r.kind == FieldKind::real) {
                numbers.push_back(f.fndreals(r.index));
            } else if (r.kind == FieldKind::integer) {
                numbers.push_back(double(f.fndintegers(r.index)));
            }
        }
    }
    if (numbers.size() < 3) {
        myexit("Internal error#571", routine);
    }
    for (int k = 1; k <= 3; ++k) {
        s.xyz(k, a) = numbers[std::size_t(k - 1)];
    }
}

} // namespace

void readnwqmmm(Store& s, InputFile& in) {
    std::string_view line;
    in.rewind();
    bool found = false;
    while (!found && in.getline(line)) {
        if (blockstart(line) && skiphead(in)) {
            found = true;
            while (nextatom(in, s.nat, line)) {
                ++s.nat;
            }
        }
    }
    if (s.nat == 0) {
        myexit("No atoms found", routine);
    }
    sizestore(s, in, routine);
    while (in.getline(line)) {
        if (blockstart(line) && skiphead(in)) {
            int a = 0;
            while (nextatom(in, a, line)) {
                storeatom(s, ++a, line);
            }
        }
    }
}
