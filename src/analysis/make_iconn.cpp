// Bonded neighbours (at most 18) and the 20 nearest non-bonded atoms of every atom, each list
// nearest first, rebuilt from the coordinates and elements of the store.
#include "analysis/analysis.h"
#include "analysis/cellgrid.h"
#include "control/control.h"
#include "control/fixedwidth.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

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
    s.log() << line << '\n' << partners << '\n';
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
    // Unused bonded slots hold 0.0 and are never farther, so only the count - 1 partners
    // present are looked at and moved; a partner that is not nearer than any of them is
    // appended after the last.
    if (!insertsorted(&s.iconn(1, atom), &s.rconn(1, atom), count, partner, r)) {
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

// Without near lists, only lists an earlier call filled are emptied: the near lists are the
// larger part of the tables, and a run that never writes to them keeps them out of memory.
void clearlists(Store& s, bool nearlists) {
    if (s.nat < 1) {
        return;
    }
    // The bonded lists of all atoms are one block each.
    const auto atoms = std::size_t(s.nat);
    std::fill_n(s.iconn.column(1), std::size_t(s.iconn.extent1().size()) * atoms, 0);
    std::fill_n(s.rconn.column(1), std::size_t(s.rconn.extent1().size()) * atoms, 0.0);
    for (int a = 1; a <= s.nat; ++a) {
        if (!nearlists && s.inear(0, a) == 0) {
            continue;
        }
        for (int k = 0; k <= maxnear; ++k) {
            s.inear(k, a) = 0;
        }
        for (int k = 1; k <= maxnear; ++k) {
            s.rnear(k, a) = 1000000.0;
        }
    }
}

void countnear(Store& s) {
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

// The squared distance of a and b summed as `bond` sums it, so that its root is `bond`'s value
// (the same whichever of the two comes first).
double squared(const double* a, const double* b) {
    const double dx = a[0] - b[0];
    const double dy = a[1] - b[1];
    const double dz = a[2] - b[2];
    double d2 = 0.0;
    d2 += dx * dx;
    d2 += dy * dy;
    d2 += dz * dz;
    return d2;
}

// Every pair once, in the recording order that recordpair requires.
void allpairs(Store& s) {
    for (int i = 1; i <= s.nat; ++i) {
        for (int j = 1; j < i; ++j) {
            recordpair(s, i, j, bond(point(s.xyz, i), point(s.xyz, j)));
        }
    }
}

// Atoms from which the lists are cleared in a thread of their own.
constexpr int clearinthread = 50000;

// Largest distance at which two of the store's atoms can bond (Bohr), with a margin; 0 when
// no two can.
double bondreach(const Store& s) {
    double largest = -1.0;
    for (int a = 1; a <= s.nat; ++a) {
        const int z = s.iat(a);
        if (z >= 1 && z <= nelements && z != dummyatom) {
            largest = std::max(largest, defcovrad(z));
        }
    }
    // exp(-(r / rsum - 1)) > 0.7 holds below r = (1 - ln 0.7) rsum, about 1.3567 rsum.
    return largest > 0.0 ? 1.37 * 2.0 * largest / angstrom_per_bohr : 0.0;
}

// A bonded pair, i > j, at distance r.
struct Pair {
    int i, j;
    double r;
};

// The bonded pairs of a search and how many partners each atom has among them. Once an atom has
// more partners than fit, the run fails within them: collecting on would cost memory quadratic
// in the atoms (all atoms at one point), so the search stops.
struct PairSearch {
    PairSearch(const Store& store, double reach)
        : s(store), reach2(reach * reach), partners(std::size_t(store.nat) + 1, 0) {}

    // Records the pair if it bonds; false once an atom has too many partners. Beyond the reach
    // no pair bonds: the exact test is left for the pairs within it.
    bool consider(int i, const double* pi, int j, const double* pj) {
        const double d2 = squared(pi, pj);
        if (d2 <= reach2) {
            const double r = std::sqrt(d2);
            if (bonded(r, s.iat(i), s.iat(j))) {
                pairs.push_back({std::max(i, j), std::min(i, j), r});
                for (const int a : {i, j}) {
                    toomanyfound = ++partners[std::size_t(a)] > maxconn || toomanyfound;
                }
            }
        }
        return !toomanyfound;
    }

    const Store& s;
    double reach2;
    std::vector<Pair> pairs;
    std::vector<int> partners;
    bool toomanyfound = false;
};

// Atoms from which the bonded pairs are searched in two threads, half of the grid's layers each.
constexpr std::size_t pairsinthreads = 50000;

// Each pair of neighbouring cells once, cell by cell, for a large molecule in two threads.
PairSearch cellpairs(const Store& s, const CellGrid& grid, std::size_t atoms, double reach) {
    PairSearch mine(s, reach);
    auto search = [&grid](PairSearch& p, int from, int to) {
        grid.neighbourpairs([&p](int i, const double* pi, int j,
                                 const double* pj) { return p.consider(i, pi, j, pj); },
                            from, to);
    };
    const int layers = grid.layers();
    if (atoms < pairsinthreads || layers < 2) {
        search(mine, 0, layers);
        return mine;
    }
    PairSearch helpers(s, reach);
    const int half = layers / 2;
    {
        std::jthread helper;
        try {
            helper = std::jthread([&] { search(helpers, 0, half); });
        } catch (const std::system_error&) {
            search(helpers, 0, half);
        }
        search(mine, half, layers);
    }
    // An atom may have partners in both halves.
    for (std::size_t a = 0; a < mine.partners.size(); ++a) {
        mine.partners[a] += helpers.partners[a];
        mine.toomanyfound = mine.toomanyfound || mine.partners[a] > maxconn;
    }
    mine.toomanyfound = mine.toomanyfound || helpers.toomanyfound;
    mine.pairs.insert(mine.pairs.end(), helpers.pairs.begin(), helpers.pairs.end());
    return mine;
}

// The bonded pairs found in neighbouring cells, in the order the all-pairs loop would meet them.
std::vector<Pair> bondedpairs(const Store& s, const CellGrid& grid, const std::vector<int>& atoms,
                              double reach) {
    if (reach <= 0.0) {
        return {};
    }
    PairSearch found = cellpairs(s, grid, atoms.size(), reach);
    // Should an atom gather more partners than fit, the pairs are gathered again atom by atom as
    // the all-pairs loop meets them (j before i in all neighbouring cells), so that the run fails
    // where that loop fails.
    if (found.toomanyfound) {
        found.pairs.clear();
        std::fill(found.partners.begin(), found.partners.end(), 0);
        found.toomanyfound = false;
        for (int i : atoms) {
            const double* pi = &s.xyz(1, i);
            // The whole neighbourhood of the atom, as the all-pairs loop would record it.
            auto before = [&](int j, const double* pj) {
                if (j < i) {
                    found.consider(i, pi, j, pj);
                }
            };
            const std::array<int, 3> cell = grid.cellof(s, i);
            grid.shell(cell, 0, before);
            grid.shell(cell, 1, before);
            if (found.toomanyfound) {
                break;
            }
        }
    }
    std::sort(found.pairs.begin(), found.pairs.end(),
              [](const Pair& p, const Pair& q) { return p.i != q.i ? p.i < q.i : p.j < q.j; });
    return std::move(found.pairs);
}

bool isbondedto(const Store& s, int a, int b) {
    for (int k = 1; k <= s.iconn(0, a); ++k) {
        if (s.iconn(k, a) == b) {
            return true;
        }
    }
    return false;
}

struct Near {
    double r;
    int b;
    bool operator<(const Near& o) const { return r != o.r ? r < o.r : b < o.b; }
};

// The candidates cut down to the nearest `keep`, nearest first (ties to the lower atom number).
// A few dozen candidates, the usual number, are put in order by insertion, whose only
// unpredictable branch ends each insertion; many are first cut down by partial sorting.
void nearestfirst(std::vector<Near>& best, std::size_t keep) {
    constexpr std::size_t most = 64;
    if (best.size() > most) {
        std::nth_element(best.begin(), best.begin() + std::ptrdiff_t(keep - 1), best.end());
        best.resize(keep);
    }
    for (std::size_t i = 1; i < best.size(); ++i) {
        const Near x = best[i];
        std::size_t j = i;
        for (; j > 0 && x < best[j - 1]; --j) {
            best[j] = best[j - 1];
        }
        best[j] = x;
    }
    best.resize(std::min(best.size(), keep));
}

// The 20 nearest non-bonded atoms of atom a among the atoms within distance r of it, if they
// are the 20 nearest of all: those farther than r are then farther than the 20th (a root that
// rounds to the same value could tie). False when that is not sure. Whether a scanned atom is
// within r is as good as random, so it is kept or dropped without a branch: every atom is
// written after the last one kept (into `scanned`), and only one within r moves that end on.
bool nearwithin(const Store& s, const CellGrid& grid, int a, double r, double reach2,
                std::vector<Near>& scanned, std::vector<Near>& best) {
    const auto keep = std::size_t(maxnear);
    const Vec3 pa = point(s.xyz, a);
    const double r2 = r * r;
    std::size_t n = 0;
    grid.ball(pa, r, [&](int b, const double* pb) {
        if (n == scanned.size()) {
            scanned.resize(2 * n + 64);
        }
        const double d2 = squared(pa.data(), pb);
        scanned[n] = {d2, b};
        n += std::size_t(d2 <= r2);
    });
    // Few of those are a itself or within the bond reach, where the bonded partners are.
    best.clear();
    for (std::size_t k = 0; k < n; ++k) {
        const auto [d2, b] = scanned[k];
        if (b != a && (d2 > reach2 || !isbondedto(s, a, b))) {
            best.push_back({std::sqrt(d2), b});
        }
    }
    if (best.size() < keep) {
        return false;
    }
    nearestfirst(best, keep);
    return best.back().r < std::sqrt(r2) && best.back().r < 1000000.0;
}

// The nearest non-bonded atoms of atom a, searched shell by shell of cells until no atom further
// out can be nearer than the 20th found.
void nearshells(const Store& s, const CellGrid& grid, int a, std::vector<Near>& best) {
    const auto keep = std::size_t(maxnear);
    best.clear();
    const Vec3 pa = point(s.xyz, a);
    // Squared distances beyond this cannot enter the list (a little above the square of the
    // farthest kept distance, so rounding never rejects a tie).
    double admit = 1000000.0 * 1000000.0 * 1.000001;
    const std::array<int, 3> cell = grid.cellof(s, a);
    for (int k = 0; k <= grid.span(); ++k) {
        grid.shell(cell, k, [&](int b, const double* pb) {
            const double d2 = squared(pa.data(), pb);
            if (!(d2 <= admit) || b == a || isbondedto(s, a, b)) {
                return;
            }
            const double r = std::sqrt(d2);
            if (r < 1000000.0) {
                best.push_back({r, b});
            }
        });
        if (best.size() > keep) {
            std::nth_element(best.begin(), best.begin() + std::ptrdiff_t(keep - 1), best.end());
            best.resize(keep);
        }
        double farthest = 1000000.0;
        if (best.size() == keep) {
            farthest = std::max_element(best.begin(), best.end())->r;
            admit = farthest * farthest * 1.000001;
        }
        const double further = grid.clearance(pa, cell, k);
        if (farthest < further || further >= 1000000.0) {
            break;
        }
    }
}

// The nearest non-bonded atoms of every atom. Ties go to the lower atom number, which is the
// order in which the all-pairs loop records an atom's partners. Neighbouring atoms (in the order
// of most files) have their 20th nearest at about the same distance, so each search first takes
// the atoms within a little more than the last atom's 20th distance, and only where that does
// not settle the list searches shell by shell.
void gridnear(Store& s, const CellGrid& grid, const std::vector<int>& atoms, double reach) {
    const double reach2 = reach * reach;
    std::vector<Near> scanned;
    std::vector<Near> best;
    double guess = 0.0;
    for (int a : atoms) {
        if (!(guess > 0.0 && nearwithin(s, grid, a, guess * 1.1, reach2, scanned, best)) &&
            !(guess > 0.0 && nearwithin(s, grid, a, guess * 1.5, reach2, scanned, best))) {
            nearshells(s, grid, a, best);
            nearestfirst(best, std::size_t(maxnear));
        }
        guess = best.size() == std::size_t(maxnear) ? best.back().r : 0.0;
        for (std::size_t k = 0; k < best.size(); ++k) {
            s.inear(int(k) + 1, a) = best[k].b;
            s.rnear(int(k) + 1, a) = best[k].r;
        }
    }
}

} // namespace

void make_iconn(Store& s, bool nearlists) {
    // Atoms without finite coordinates are at no finite distance from any other: they bond to
    // none and are nobody's near neighbour.
    std::vector<int> atoms;
    double spread = 0.0;
    for (int a = 1; a <= s.nat; ++a) {
        const Vec3 p = point(s.xyz, a);
        if (std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])) {
            atoms.push_back(a);
            spread = std::max({spread, std::abs(p[0]), std::abs(p[1]), std::abs(p[2])});
        }
    }
    // Coordinates beyond any molecule's size would overflow the cell arithmetic; such stores
    // go through every pair instead, which fills the near lists as it goes.
    const bool everypair = spread > 1e12;
    nearlists = nearlists || everypair;
    if (everypair) {
        clearlists(s, nearlists);
        allpairs(s);
    } else {
        // A large molecule's lists are cleared in a second thread while its bonded pairs are
        // found, which reads none of them: the clearing is mostly the system's first touch of
        // their pages.
        std::jthread clearing;
        if (s.nat >= clearinthread) {
            try {
                clearing = std::jthread([&s, nearlists] { clearlists(s, nearlists); });
            } catch (const std::system_error&) {
                // No second thread: the lists are cleared here.
            }
        }
        if (!clearing.joinable()) {
            clearlists(s, nearlists);
        }
        const double reach = bondreach(s);
        const CellGrid grid(s, atoms, std::max(reach * 1.01, 1.0));
        const std::vector<Pair> pairs = bondedpairs(s, grid, atoms, reach);
        if (clearing.joinable()) {
            clearing.join();
        }
        // In the order of the all-pairs loop, so lists, ties and a 19th-partner failure come out
        // the same.
        for (const Pair& p : pairs) {
            addbond(s, p.i, p.j, p.r);
            addbond(s, p.j, p.i, p.r);
        }
        if (nearlists) {
            gridnear(s, grid, atoms, reach);
        }
    }
    if (nearlists) {
        countnear(s);
    }
}
