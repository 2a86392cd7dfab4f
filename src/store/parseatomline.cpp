// Decodes one atom line (symbol or element number, three coordinates, or an internal-coordinate
// line) and appends the atom to the store.
#include "control/control.h"
#include "control/files.h"
#include "control/fixedwidth.h"
#include "control/freeread.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace {

[[noreturn]] void reject(std::ostream& log, std::string_view what, std::string_view line,
                         std::string_view message, std::string_view routine) {
    log << what << '\n' << "LINE: " << record(line) << '\n';
    myexit(message, routine);
}

} // namespace

void parseatomline(Store& s, std::string_view line, std::string_view routine,
                   const AtomLineOptions& options) {
    const FreeRead f = freerd(line);
    int z = 0;
    bool numbered = false; // the element came as the first integer
    if (f.nfnds < 1) {
        if (options.elementnumber && f.nfndi >= 1 && f.nfndi + f.nfndr >= 3) {
            numbered = true;
            const long long number = f.fndintegers(1);
            if (number < 1 || number > nelements) {
                reject(s.log(), "Unknown atomtype found: " + fw::I(number, 2), line,
                       "Unknown atomtype found", routine);
            }
            z = int(number);
        } else {
            reject(s.log(), "Not enough strings found: " + fw::I(f.nfnds, 2), line,
                   "Not enough strings on line", routine);
        }
    }
    // Coordinates: the first three reals, or with integer coordinates the first three numbers
    // in order of appearance; an element number is never one of them. A fixed array, so that a
    // line costs no allocation.
    std::array<double, 3> numbers{};
    std::size_t found = 0;
    if (f.nfndr >= 3) {
        numbers = {f.fndreals(1), f.fndreals(2), f.fndreals(3)};
        found = 3;
    } else if (options.integercoords) {
        bool skipped = !numbered;
        for (int i = 1; i <= f.nfndt && found < 3; ++i) {
            const FieldRef r = f.fndorder(i);
            if (r.kind == FieldKind::real) {
                numbers[found++] = f.fndreals(r.index);
            } else if (r.kind == FieldKind::integer) {
                if (!skipped) {
                    skipped = true;
                    continue;
                }
                numbers[found++] = double(f.fndintegers(r.index));
            }
        }
    }
    if (found < 3) {
        reject(s.log(), "Not enough reals found: " + fw::I(f.nfndr, 2), line,
               "Not enough reals on line", routine);
    }
    if (!numbered) {
        std::string symbol = upcase(f.fndstrings(1));
        if (options.prefixremoval && symbol.find("J.") == std::string::npos) {
            const std::size_t point = symbol.find('.');
            if (point != std::string::npos) {
                symbol.erase(0, point + 1);
            }
        }
        z = elementnumber(symbol);
        if (z == 0) {
            unknownatomtype(s.log(), symbol, record(line), routine);
        }
    }
    if (s.nat + 1 > s.iat.hi()) {
        myexit("More atoms than counted", routine);
    }
    const int a = ++s.nat;
    s.iat(a) = z;
    s.inpcoor = 1;
    if (options.zmatrix && f.nfndi >= 6) {
        for (int k = 1; k <= 3; ++k) {
            s.kmatrx(k, a) = clampint(f.fndintegers(3 + k));
        }
        s.zmat(1, a) = options.angstrom ? f.fndreals(1) / angstrom_per_bohr : f.fndreals(1);
        s.zmat(2, a) = f.fndreals(2) * radians_per_degree;
        s.zmat(3, a) = f.fndreals(3) * radians_per_degree;
        s.inpcoor = 2;
        return;
    }
    for (int k = 1; k <= 3; ++k) {
        s.xyz(k, a) = options.angstrom ? numbers[std::size_t(k - 1)] / angstrom_per_bohr
                                       : numbers[std::size_t(k - 1)];
    }
}
