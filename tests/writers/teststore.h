// Small stores built by hand for the writer tests, as the arrangement step would leave them.
#pragma once

#include "control/control.h"
#include "store/store.h"

#include <string>
#include <vector>

namespace testing_store {

struct Atom {
    int iat;
    double x, y, z; // Angstrom
    std::vector<int> partners;
};

/// A store of the given atoms with labels filled in and the output order `order` (output
/// position p holds store atom order[p-1]).
inline void build(Store& s, const std::vector<Atom>& atoms, const std::vector<int>& order) {
    s.nat = int(atoms.size());
    allocstuff(s);
    for (int a = 1; a <= s.nat; ++a) {
        const Atom& at = atoms[std::size_t(a - 1)];
        s.iat(a) = at.iat;
        s.xyz(1, a) = at.x / angstrom_per_bohr;
        s.xyz(2, a) = at.y / angstrom_per_bohr;
        s.xyz(3, a) = at.z / angstrom_per_bohr;
        s.iconn(0, a) = int(at.partners.size());
        for (std::size_t j = 0; j < at.partners.size(); ++j) {
            s.iconn(int(j) + 1, a) = at.partners[j];
        }
        s.atdescr(a) = fixedtext(std::string("A").append(std::to_string(a)), 10);
    }
    for (int p = 1; p <= s.nat; ++p) {
        const int a = order[std::size_t(p - 1)];
        s.iorder(p, 2) = a;
        s.iorder(a, 1) = p;
    }
}

/// Hydrogen peroxide H1 O2 O3 H4, bonded H1-O2-O3-H4, written in the order O2 O3 H1 H4. The
/// first coordinate rounds up at 6 decimals; H4's z is a negative value that rounds to zero.
inline void peroxide(Store& s, const std::vector<int>& order = {2, 3, 1, 4}) {
    build(s,
          {{1, 1.2345675, 0.8, 0.1, {2}},
           {8, 0.0, 0.7, 0.0, {3, 1}},
           {8, 0.0, -0.7, 0.0, {2, 4}},
           {1, -0.9, -0.8, -0.0000004, {3}}},
          order);
}

} // namespace testing_store
