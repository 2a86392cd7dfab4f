// Output order by chemistry: heavy atoms first, each followed at once by its hydrogens, each
// molecule grown along its bonds; a new molecule starts from the unplaced atom closest to the
// placed ones, or afresh when none is within 1000 Bohr.
//
// The order is defined by a procedure that restarts its scan at atom 1 after every placement and
// compares every placed with every unplaced atom when a molecule is complete. Here the atoms that
// qualify next wait in heaps, and the closest pairs come from a cell grid: each placed atom
// offers its nearest unplaced atoms in batches to a heap of pairs ordered as the literal search
// meets them (distance, then position of the placed atom, then number of the unplaced one).
#include "analysis/analysis.h"
#include "analysis/cellgrid.h"
#include "control/control.h"
#include "store/store.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iostream>
#include <optional>
#include <queue>
#include <vector>

namespace {

// Squared distances at or beyond this never make a closest pair.
constexpr double pairlimit = 1000000.0;

bool finite(const Store& s, int a) {
    return std::isfinite(s.xyz(1, a)) && std::isfinite(s.xyz(2, a)) && std::isfinite(s.xyz(3, a));
}

// The squared distance as the literal search sums it: placed atom minus unplaced atom, x, y, z.
double distance2(const double* p, const double* q) {
    double d = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double diff = p[k] - q[k];
        d += diff * diff;
    }
    return d;
}

// Closest pairs between the placed and the unplaced atoms, in two kinds: heavy pairs (both atoms
// heavier than hydrogen) and hydrogen pairs (at least one hydrogen).
class ClosestPairs {
  public:
    ClosestPairs(const Store& s, const std::vector<char>& placed) : s_(s), placed_(placed) {
        std::vector<int> atoms;
        double spread = 0.0;
        for (int a = 1; a <= s.nat; ++a) {
            if (finite(s, a)) {
                atoms.push_back(a);
                for (int k = 1; k <= 3; ++k) {
                    spread = std::max(spread, std::abs(s.xyz(k, a)));
                }
            }
        }
        // Beyond any molecule's size the cell arithmetic would lose precision: compare every
        // pair instead.
        if (spread <= 1e12) {
            grid_.emplace(s, atoms, 4.0);
        }
        streams_.resize(std::size_t(s.nat) + 1);
    }

    // Atom a has just been placed at position p: its pairs enter the search.
    void placed(int a, int p) {
        count_ = p;
        if (grid_ && finite(s_, a)) {
            push(marker(p, 0.0, 0));
        }
    }

    // The unplaced atom of the closest pair of one kind; 0 when there is none.
    int closest(bool heavy) {
        if (!grid_) {
            return literal(heavy);
        }
        Heap& heap = heavy ? heavy_ : hydrogen_;
        while (!heap.empty()) {
            const Pair e = heap.top();
            if (!(e.d < pairlimit)) {
                return 0;
            }
            if (e.atom > 0 && !placed_[std::size_t(e.atom)]) {
                return e.atom;
            }
            heap.pop();
            const int a = s_.iorder(e.position, 2);
            if (e.atom <= 0 && -e.atom == streams_[std::size_t(a)].batches) {
                fetch(a, e.position);
            }
        }
        return 0;
    }

  private:
    // A pair (distance, position of the placed atom, unplaced atom), or with atom <= 0 a marker:
    // the placed atom's pairs not yet fetched lie at this distance or farther, and -atom is the
    // number of the batch they will come in.
    struct Pair {
        double d;
        int position;
        int atom;
        bool operator<(const Pair& o) const {
            if (d != o.d) {
                return d < o.d;
            }
            return position != o.position ? position < o.position : atom < o.atom;
        }
        bool operator>(const Pair& o) const { return o < *this; }
    };
    using Heap = std::priority_queue<Pair, std::vector<Pair>, std::greater<>>;

    // How far the unplaced atoms of one placed atom have been handed out, in (distance, atom)
    // order.
    struct Stream {
        double lastd = -1.0;
        int lastatom = 0;
        int batches = 0;
    };

    static Pair marker(int position, double d, int batch) { return {d, position, -batch}; }

    // Markers go into both heaps; a pair into the heap of its kind, or none.
    void push(const Pair& e) {
        if (e.atom <= 0) {
            heavy_.push(e);
            hydrogen_.push(e);
            return;
        }
        const int a = s_.iorder(e.position, 2);
        const int za = s_.iat(a);
        const int zb = s_.iat(e.atom);
        if (za > 1 && zb > 1) {
            heavy_.push(e);
        } else if (za == 1 || zb == 1) {
            hydrogen_.push(e);
        }
    }

    // The next batch of the unplaced atoms nearest to placed atom a, beyond those handed out;
    // each batch is twice the size of the one before, so repeated searches cost no more than the
    // last.
    void fetch(int a, int position) {
        Stream& st = streams_[std::size_t(a)];
        const std::size_t want = std::size_t(4) << std::min(st.batches, 20);
        ++st.batches;
        const std::array<double, 3> pa = point(s_.xyz, a);
        const std::array<int, 3> cell = grid_->cellof(s_, a);
        auto before = [](double d1, int a1, double d2, int a2) {
            return d1 != d2 ? d1 < d2 : a1 < a2;
        };
        found_.clear();
        for (int k = 0; k <= grid_->span(); ++k) {
            grid_->shell(cell, k, [&](int b, const double* pb) {
                if (placed_[std::size_t(b)]) {
                    return;
                }
                const double d = distance2(pa.data(), pb);
                if (!(d < pairlimit) || !before(st.lastd, st.lastatom, d, b)) {
                    return;
                }
                if (found_.size() == want && !before(d, b, found_.back().d, found_.back().atom)) {
                    return;
                }
                const Pair e{d, position, b};
                found_.insert(std::upper_bound(found_.begin(), found_.end(), e), e);
                if (found_.size() > want) {
                    found_.pop_back();
                }
            });
            const double clear = grid_->clearance(pa, cell, k);
            if (clear >= 1000.0 || (found_.size() == want && std::sqrt(found_.back().d) < clear)) {
                break;
            }
        }
        for (const Pair& e : found_) {
            push(e);
        }
        // A short batch holds every remaining atom within reach.
        if (found_.size() == want) {
            st.lastd = found_.back().d;
            st.lastatom = found_.back().atom;
            push(marker(position, st.lastd, st.batches));
        }
    }

    // Every placed atom (by position) against every unplaced atom (by number), for stores whose
    // coordinates are too far out for the grid.
    int literal(bool heavy) const {
        double best = pairlimit;
        int found = 0;
        for (int p = 1; p <= count_; ++p) {
            const int q = s_.iorder(p, 2);
            const double* pq = &s_.xyz(1, q);
            for (int a = 1; a <= s_.nat; ++a) {
                if (placed_[std::size_t(a)]) {
                    continue;
                }
                const int zq = s_.iat(q);
                const int za = s_.iat(a);
                const bool kind = heavy ? zq > 1 && za > 1 : zq == 1 || za == 1;
                const double d = distance2(pq, &s_.xyz(1, a));
                if (kind && d < best) {
                    best = d;
                    found = a;
                }
            }
        }
        return found;
    }

    const Store& s_;
    const std::vector<char>& placed_;
    std::optional<CellGrid> grid_;
    std::vector<Stream> streams_;
    Heap heavy_;
    Heap hydrogen_;
    std::vector<Pair> found_;
    int count_ = 0; // atoms placed
};

} // namespace

void chemicalorder(Store& s) {
    const int n = s.nat;
    std::vector<char> placed(std::size_t(n) + 1, 0);
    // bondedto[a] lists the atoms whose bonded list holds a: placing a lets them qualify.
    std::vector<int> start(std::size_t(n) + 2, 0);
    for (int a = 1; a <= n; ++a) {
        for (int j = 1; j <= s.iconn(0, a); ++j) {
            ++start[std::size_t(s.iconn(j, a)) + 1];
        }
    }
    for (std::size_t a = 1; a < start.size(); ++a) {
        start[a] += start[a - 1];
    }
    std::vector<int> bondedto(std::size_t(start.back()));
    {
        std::vector<int> fill(start.begin(), start.end() - 1);
        for (int a = 1; a <= n; ++a) {
            for (int j = 1; j <= s.iconn(0, a); ++j) {
                bondedto[std::size_t(fill[std::size_t(s.iconn(j, a))]++)] = a;
            }
        }
    }

    using MinHeap = std::priority_queue<int, std::vector<int>, std::greater<>>;
    MinHeap heavyready; // unplaced heavy atoms with a placed bonded neighbour
    MinHeap hydrogenready;
    int firstheavy = 1; // no unplaced heavy atom lies below it
    int firsthydrogen = 1;
    ClosestPairs pairs(s, placed);
    int m = 0;
    int molecule = 1;
    bool fresh = true;

    auto put = [&](int a) {
        ++m;
        s.iorder(a, 1) = m;
        s.iorder(m, 2) = a;
        placed[std::size_t(a)] = 1;
        for (int k = start[std::size_t(a)]; k < start[std::size_t(a) + 1]; ++k) {
            const int b = bondedto[std::size_t(k)];
            if (!placed[std::size_t(b)]) {
                if (s.iat(b) > 1) {
                    heavyready.push(b);
                } else if (s.iat(b) == 1) {
                    hydrogenready.push(b);
                }
            }
        }
        pairs.placed(a, m);
    };
    auto place = [&](int a) {
        put(a);
        if (s.iatmol(a) == 0) {
            s.iatmol(a) = molecule;
        }
        for (int j = 1; j <= s.iconn(0, a); ++j) {
            const int h = s.iconn(j, a);
            if (s.iat(h) == 1 && !placed[std::size_t(h)]) {
                put(h);
            }
        }
    };
    // The first atom of a kind that qualifies: any unplaced one on a fresh start, else one with
    // a placed bonded neighbour.
    auto first = [&](MinHeap& ready, int& lowest, bool heavy) {
        if (fresh || m == 0) {
            while (lowest <= n && (placed[std::size_t(lowest)] ||
                                   !(heavy ? s.iat(lowest) > 1 : s.iat(lowest) == 1))) {
                ++lowest;
            }
            return lowest <= n ? lowest : 0;
        }
        while (!ready.empty() && placed[std::size_t(ready.top())]) {
            ready.pop();
        }
        return ready.empty() ? 0 : ready.top();
    };

    while (m < n) {
        int a = first(heavyready, firstheavy, true);
        if (a == 0) {
            a = first(hydrogenready, firsthydrogen, false);
        }
        if (a != 0) {
            place(a);
            fresh = false;
            continue;
        }
        if (fresh) {
            std::cout << "Something weird is happening here ....\n";
            myexit("Unexpected error", "arrange");
        }
        a = pairs.closest(true);
        if (a == 0) {
            a = pairs.closest(false);
        }
        if (a != 0) {
            place(a);
            fresh = false;
        } else {
            ++molecule;
            fresh = true;
        }
    }
}
