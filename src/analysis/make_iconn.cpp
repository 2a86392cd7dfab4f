// Bonded neighbours (at most 18) and the 20 nearest non-bonded atoms of every atom, each list
// nearest first, rebuilt from the coordinates and elements of the store.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/fixedwidth.h"
#include "store/store.h"

#include <iostream>
#include <string>

namespace {

// The atom would get a bonded partner beyond maxconn: its stored partners and the one too many
// are listed, and the run ends (under the arrangement step, which owns the connectivity).
[[noreturn]] void toomany(const Store& s, int atom, int partner) {
    std::string line = "Number of connections for atom ";
    fw::I(line, atom, 3);
    line += " (";
    fw::I(line, s.iconn(0, atom), 3);
    line += ") larger than maximum ";
    fw::I(line, maxconn, 3);
    std::string partners;
    for (int k = 1; k <= maxconn; ++k) {
        fw::I(partners, s.iconn(k, atom), 5);
    }
    fw::I(partners, partner, 5);
    std::cout << line << '\n' << partners << '\n';
    myexit("Unlikely number of connections found", "arrange");
}

// Sorted insertion into a fixed-length list: (partner, r) goes before the first entry that is
// strictly farther, so equal distances keep the order in which they were recorded; entries
// that move past the end are dropped. Returns false when no entry is farther.
bool insertsorted(int* atoms, double* dists, int length, int partner, double r) {
    for (int k = 0; k < length; ++k) {
        if (dists[k] > r) {
            for (int m = length - 1; m > k; --m) {
                atoms[m] = atoms[m - 1];
                dists[m] = dists[m - 1];
            }
            atoms[k] = partner;
            dists[k] = r;
            return true;
        }
    }
    return false;
}

void addbond(Store& s, int atom, int partner, double r) {
    int& count = s.iconn(0, atom);
    count += 1;
    if (count > maxconn) {
        toomany(s, atom, partner);
    }
    // Unused bonded slots hold 0.0 and are never farther; a partner that is not nearer than
    // any present one is appended after the last.
    if (!insertsorted(&s.iconn(1, atom), &s.rconn(1, atom), maxconn, partner, r)) {
        s.iconn(count, atom) = partner;
        s.rconn(count, atom) = r;
    }
}

void addnear(Store& s, int atom, int partner, double r) {
    // Unused slots hold 1000000.0, so a partner farther than that is not recorded.
    insertsorted(&s.inear(1, atom), &s.rnear(1, atom), maxnear, partner, r);
}

// Records the pair (i, j), j < i, at distance r: as bonded in both atoms' bonded lists (i's
// first), or else in both atoms' non-bonded lists. Equal distances keep the recording order,
// so the lists depend on pairs being recorded in the order i ascending, and for each i, j
// ascending; a faster pair search must deliver the pairs in that same order.
void recordpair(Store& s, int i, int j, double r) {
    if (bonded(r, s.iat(i), s.iat(j))) {
        addbond(s, i, j, r);
        addbond(s, j, i, r);
    } else {
        addnear(s, i, j, r);
        addnear(s, j, i, r);
    }
}

} // namespace

void make_iconn(Store& s) {
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 0; k <= maxconn; ++k) {
            s.iconn(k, a) = 0;
        }
        for (int k = 1; k <= maxconn; ++k) {
            s.rconn(k, a) = 0.0;
        }
        for (int k = 0; k <= maxnear; ++k) {
            s.inear(k, a) = 0;
        }
        for (int k = 1; k <= maxnear; ++k) {
            s.rnear(k, a) = 1000000.0;
        }
    }
    // Every pair once, in the recording order that recordpair requires.
    for (int i = 1; i <= s.nat; ++i) {
        for (int j = 1; j < i; ++j) {
            recordpair(s, i, j, bond(point(s.xyz, i), point(s.xyz, j)));
        }
    }
    for (int a = 1; a <= s.nat; ++a) {
        int count = 0;
        for (int k = 1; k <= maxnear; ++k) {
            if (s.inear(k, a) != 0) {
                count += 1;
            }
        }
        s.inear(0, a) = count;
    }
}
