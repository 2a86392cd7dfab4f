// Output order by chemistry: heavy atoms first, each followed at once by its hydrogens, each
// molecule grown along its bonds; a new molecule starts from the unplaced atom closest to the
// placed ones, or afresh when none is within 1000 Bohr.
//
// The order is defined by a procedure that restarts its scan at atom 1 after every placement and
// compares every placed with every unplaced atom when a molecule is complete. Here the atoms that
// qualify next wait in heaps, and each placed atom offers its nearest unplaced atom to a heap of
// pairs ordered as the literal search meets them (distance, then position of the placed atom,
// then number of the unplaced one), from lists fetched in batches: a first batch from a grid of
// cells, later ones from a k-d tree of the unplaced atoms.
#include "analysis/analysis.h"
#include "analysis/cellgrid.h"
#include "control/control.h"
#include "store/store.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <ostream>
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

// Which atoms a tree holds: the partners of a placed atom in the pairs of one kind.
enum class Partners { heavy, hydrogen, any };

bool partner(Partners which, int z) {
    return which == Partners::any || (which == Partners::heavy ? z > 1 : z == 1);
}

// The partners with finite coordinates unplaced when it is made, in a k-d tree whose nodes count
// the unplaced atoms below them, so that the search for the nearest ones skips what is placed
// however far the next unplaced atom is. A node is skipped only when the squared distance to its
// box exceeds what is sought: rounding is monotonic, so an atom in the box is never computed nearer
// than its box.
class UnplacedTree {
  public:
    UnplacedTree(const Store& s, const std::vector<char>& placed, Partners which)
        : placed_(placed) {
        for (int a = 1; a <= s.nat; ++a) {
            if (finite(s, a) && !placed[std::size_t(a)] && partner(which, s.iat(a))) {
                atoms_.push_back(a);
            }
        }
        leafof_.assign(std::size_t(s.nat) + 1, -1);
        if (atoms_.empty()) {
            return;
        }
        coords_.resize(3 * atoms_.size());
        std::vector<int> order(atoms_);
        build(s, order, 0, int(order.size()), -1);
        atoms_ = std::move(order);
        for (std::size_t i = 0; i < atoms_.size(); ++i) {
            for (int k = 0; k < 3; ++k) {
                coords_[3 * i + std::size_t(k)] = s.xyz(k + 1, atoms_[i]);
            }
        }
    }

    void remove(int a) {
        for (int node = leafof_[std::size_t(a)]; node >= 0;
             node = nodes_[std::size_t(node)].parent) {
            --nodes_[std::size_t(node)].count;
        }
    }

    // Calls visit(b, d) for the unplaced atoms b at squared distance d from p, skipping nodes
    // whose every atom lies farther than limit() (read again as the search goes on).
    template <class Visit, class Limit>
    void search(const double* p, Visit&& visit, Limit&& limit) const {
        if (!nodes_.empty()) {
            descend(0, p, visit, limit);
        }
    }

    // No unplaced atom lies at a squared distance from p below this: the nearest box of a leaf
    // that holds one. Infinite when none is left.
    double lowerbound(const double* p) const {
        const double none = std::numeric_limits<double>::infinity();
        return nodes_.empty() ? none : nearestbox(0, p, none);
    }

  private:
    struct Node {
        std::array<double, 3> lo, hi;
        int left = -1; // children, -1 for a leaf
        int right = -1;
        int begin = 0; // the node's atoms, atoms_[begin..end)
        int end = 0;
        int count = 0; // of them still unplaced
        int parent = -1;
        int axis = 0;
        double split = 0.0;
    };

    static constexpr int leafsize = 16;

    int build(const Store& s, std::vector<int>& order, int begin, int end, int parent) {
        const int node = int(nodes_.size());
        nodes_.push_back({});
        Node nd;
        nd.begin = begin;
        nd.end = end;
        nd.count = end - begin;
        nd.parent = parent;
        for (int k = 0; k < 3; ++k) {
            nd.lo[std::size_t(k)] = std::numeric_limits<double>::infinity();
            nd.hi[std::size_t(k)] = -std::numeric_limits<double>::infinity();
            for (int i = begin; i < end; ++i) {
                const double x = s.xyz(k + 1, order[std::size_t(i)]);
                nd.lo[std::size_t(k)] = std::min(nd.lo[std::size_t(k)], x);
                nd.hi[std::size_t(k)] = std::max(nd.hi[std::size_t(k)], x);
            }
        }
        if (end - begin > leafsize) {
            int axis = 0;
            for (int k = 1; k < 3; ++k) {
                if (nd.hi[std::size_t(k)] - nd.lo[std::size_t(k)] >
                    nd.hi[std::size_t(axis)] - nd.lo[std::size_t(axis)]) {
                    axis = k;
                }
            }
            const int mid = begin + (end - begin) / 2;
            std::nth_element(order.begin() + begin, order.begin() + mid, order.begin() + end,
                             [&](int a, int b) { return s.xyz(axis + 1, a) < s.xyz(axis + 1, b); });
            nd.axis = axis;
            nd.split = s.xyz(axis + 1, order[std::size_t(mid)]);
            nd.left = build(s, order, begin, mid, node);
            nd.right = build(s, order, mid, end, node);
        } else {
            for (int i = begin; i < end; ++i) {
                leafof_[std::size_t(order[std::size_t(i)])] = node;
            }
        }
        nodes_[std::size_t(node)] = nd;
        return node;
    }

    // Squared distance from p to the node's box, summed as the atoms' distances are.
    static double boxdistance2(const double* p, const Node& nd) {
        double d = 0.0;
        for (std::size_t k = 0; k < 3; ++k) {
            const double gap = p[k] < nd.lo[k]   ? nd.lo[k] - p[k]
                               : p[k] > nd.hi[k] ? p[k] - nd.hi[k]
                                                 : 0.0;
            d += gap * gap;
        }
        return d;
    }

    // The smaller of `best` and the squared distance from p to the nearest leaf below `node`
    // that holds an unplaced atom. A leaf's box lies within its parents' boxes, so none is
    // nearer than theirs.
    double nearestbox(int node, const double* p, double best) const {
        const Node& nd = nodes_[std::size_t(node)];
        if (nd.count == 0) {
            return best;
        }
        const double d = boxdistance2(p, nd);
        if (!(d < best)) {
            return best;
        }
        if (nd.left < 0) {
            return d;
        }
        const bool leftfirst = p[nd.axis] < nd.split;
        best = nearestbox(leftfirst ? nd.left : nd.right, p, best);
        return nearestbox(leftfirst ? nd.right : nd.left, p, best);
    }

    template <class Visit, class Limit>
    void descend(int node, const double* p, Visit& visit, Limit& limit) const {
        const Node& nd = nodes_[std::size_t(node)];
        if (nd.count == 0 || boxdistance2(p, nd) > limit()) {
            return;
        }
        if (nd.left < 0) {
            for (int i = nd.begin; i < nd.end; ++i) {
                const int b = atoms_[std::size_t(i)];
                if (!placed_[std::size_t(b)]) {
                    visit(b, distance2(p, &coords_[3 * std::size_t(i)]));
                }
            }
            return;
        }
        const bool leftfirst = p[nd.axis] < nd.split;
        descend(leftfirst ? nd.left : nd.right, p, visit, limit);
        descend(leftfirst ? nd.right : nd.left, p, visit, limit);
    }

    const std::vector<char>& placed_;
    std::vector<int> atoms_;     // the tree's atoms, leaf by leaf
    std::vector<double> coords_; // their coordinates, three by three
    std::vector<Node> nodes_;    // node 0 is the root
    std::vector<int> leafof_;    // the leaf that holds each atom; -1 for none
};

// Closest pairs between the placed and the unplaced atoms, in two kinds: heavy pairs (both atoms
// heavier than hydrogen) and hydrogen pairs (at least one hydrogen).
//
// Each placed atom keeps, for each kind, a stream: a short list of candidate unplaced atoms and a
// bound below which every unplaced atom of the kind is in that list. The heap of a kind holds
// one entry per stream: its nearest candidate still unplaced, or, once the list is spent, a
// marker at the bound, which fetches the next batch when it comes to the top. Streams whose
// first batch is spent, most of them inside finished regions, all share its bound: they wait
// beside the heap until nothing in it is nearer. A placed atom enters a kind's search only when
// that kind is asked for, so the hydrogen pairs of a structure whose molecules always start from
// heavy atoms are never searched.
class ClosestPairs {
  public:
    ClosestPairs(const Store& s, const std::vector<char>& placed) : s_(s), placed_(placed) {}

    // Atom a has just been placed at position p: its pairs enter the search.
    void placed(int a, int p) {
        if (finite(s_, a)) {
            for (std::optional<UnplacedTree>& tree : trees_) {
                if (tree) {
                    tree->remove(a);
                }
            }
            if (s_.iat(a) > 1) {
                kinds_[0].pending.push_back(p);
            }
            kinds_[1].pending.push_back(p);
        }
    }

    // The unplaced atom of the closest pair of one kind; 0 when there is none.
    int closest(bool heavy) {
        Kind& kind = kinds_[heavy ? 0 : 1];
        if (!kind.asked) {
            kind.asked = true;
            kind.streams.resize(std::size_t(s_.nat) + 1);
            // Heavy pairs need only the heavy atoms in their grid, and all their first batches
            // at once. Without a grid (coordinates beyond any molecule's size) the tree alone
            // serves.
            std::vector<int> atoms;
            for (int a = 1; a <= s_.nat; ++a) {
                if (!heavy || s_.iat(a) > 1) {
                    atoms.push_back(a);
                }
            }
            // Cells of the heavy grid a little wider than the reach, so that no rounding of the
            // cells puts a pair within the reach two cells apart.
            kind.grid = finitegrid(s_, atoms, heavy ? firstreach * 1.01 : firstreach / 2.0);
            if (heavy && kind.grid) {
                listneighbours(*kind.grid, atoms);
            }
        }
        for (const int p : kind.pending) {
            enter(kind, heavy, p);
        }
        kind.pending.clear();
        while (true) {
            // The waiting streams come next once nothing in the heap is nearer than their bound;
            // they may all go on at once, as none of their pairs is nearer.
            if (!kind.waiting.empty() && (kind.heap.empty() || !(kind.heap.top().d < firstbound))) {
                std::vector<int> going;
                going.swap(kind.waiting);
                for (const int p : going) {
                    enter(kind, heavy, p);
                }
                continue;
            }
            if (kind.heap.empty()) {
                return 0;
            }
            const Pair e = kind.heap.top();
            if (!(e.d < pairlimit)) {
                return 0;
            }
            if (e.atom > 0 && !placed_[std::size_t(e.atom)]) {
                return e.atom;
            }
            if (e.atom == 0) {
                fetch(kind, heavy, e.position);
            }
            if (const std::optional<Pair> n = next(kind, e.position)) {
                kind.heap.replacetop(*n);
            } else {
                kind.heap.pop();
            }
        }
    }

  private:
    // A pair (distance, position of the placed atom, unplaced atom), ordered as the literal
    // search meets them; with atom 0 the marker of a spent list.
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

    // The pairs with the least on top.
    class Heap {
      public:
        bool empty() const { return v_.empty(); }
        const Pair& top() const { return v_.front(); }
        void push(const Pair& e) {
            v_.push_back(e);
            std::push_heap(v_.begin(), v_.end(), std::greater<>());
        }
        void pop() {
            std::pop_heap(v_.begin(), v_.end(), std::greater<>());
            v_.pop_back();
        }
        // The top gives way to e: one pass down instead of a pop and a push.
        void replacetop(const Pair& e) {
            const std::size_t n = v_.size();
            std::size_t i = 0;
            for (std::size_t c = 1; c < n; c = 2 * i + 1) {
                if (c + 1 < n && v_[c + 1] < v_[c]) {
                    ++c;
                }
                if (!(v_[c] < e)) {
                    break;
                }
                v_[i] = v_[c];
                i = c;
            }
            v_[i] = e;
        }

      private:
        std::vector<Pair> v_;
    };

    struct Candidate {
        double d;
        int atom;
    };

    // One placed atom's pairs of one kind: the candidates pool_[begin..end), and the bound
    // (lastd, lastatom) in (distance, atom) order up to which every unplaced atom was listed.
    struct Stream {
        double lastd = -1.0;
        int lastatom = 0;
        int begin = 0;
        int end = 0;
        int batches = 0;
        bool complete = false; // nothing beyond the bound
    };

    struct Kind {
        std::vector<Stream> streams; // by position of the placed atom
        std::vector<int> pending;    // positions placed since the kind was last asked for
        std::vector<int> waiting;    // streams whose first batch is spent, with firstbound
        Heap heap;
        bool asked = false;
        std::optional<CellGrid> grid; // of the atoms that may be the unplaced atom of a pair
    };

    static bool before(double d1, int a1, double d2, int a2) {
        return d1 != d2 ? d1 < d2 : a1 < a2;
    }

    // Whether placed atom a and unplaced atom b make a pair of the kind.
    bool inkind(bool heavy, int a, int b) const {
        const int za = s_.iat(a);
        const int zb = s_.iat(b);
        return heavy ? za > 1 && zb > 1 : za == 1 || zb == 1;
    }

    // The tree of the unplaced atoms that make pairs of the kind with placed atom a: a heavy
    // pair's partners are heavy, a hydrogen pair's are hydrogens but for a placed hydrogen.
    UnplacedTree& tree(bool heavy, int a) {
        const Partners which = heavy            ? Partners::heavy
                               : s_.iat(a) == 1 ? Partners::any
                                                : Partners::hydrogen;
        std::optional<UnplacedTree>& tree = trees_[std::size_t(which)];
        if (!tree) {
            tree.emplace(s_, placed_, which);
        }
        return *tree;
    }

    // The first batches of the heavy pairs: every other atom of the grid nearer than the first
    // reach, listed in pool_ from neighbourstart_[a] for each atom a, for both atoms of a pair
    // (the cells are at least that reach wide, and each pair of neighbouring cells is visited
    // once). The placed atoms drop out as the lists are read.
    void listneighbours(const CellGrid& grid, const std::vector<int>& atoms) {
        const double reach2 = firstreach * firstreach;
        struct Near {
            double d;
            int a;
            int b;
        };
        std::vector<Near> near;
        // Cell by cell: the atoms of a cell meet each other, then every atom of the 13 cells
        // after it.
        std::vector<char> done(std::size_t(s_.nat) + 1, 0);
        std::vector<int> members;
        std::vector<const double*> xyz;
        for (const int first : atoms) {
            if (done[std::size_t(first)] || !finite(s_, first)) {
                continue;
            }
            const std::array<int, 3> cell = grid.cellof(s_, first);
            members.clear();
            xyz.clear();
            grid.shell(cell, 0, [&](int a, const double* pa) {
                done[std::size_t(a)] = 1;
                members.push_back(a);
                xyz.push_back(pa);
            });
            const std::size_t count = members.size();
            for (std::size_t i = 1; i < count; ++i) {
                for (std::size_t j = 0; j < i; ++j) {
                    const double d = distance2(xyz[i], xyz[j]);
                    if (d < reach2) {
                        near.push_back({d, members[i], members[j]});
                    }
                }
            }
            grid.laterneighbours(cell, [&](int b, const double* pb) {
                for (std::size_t i = 0; i < count; ++i) {
                    const double d = distance2(xyz[i], pb);
                    if (d < reach2) {
                        near.push_back({d, members[i], b});
                    }
                }
            });
        }
        neighbourstart_.assign(std::size_t(s_.nat) + 2, int(pool_.size()));
        for (const Near& e : near) {
            ++neighbourstart_[std::size_t(e.a) + 1];
            ++neighbourstart_[std::size_t(e.b) + 1];
        }
        for (std::size_t a = 1; a < neighbourstart_.size(); ++a) {
            neighbourstart_[a] += neighbourstart_[a - 1] - int(pool_.size());
        }
        std::vector<int> fill(neighbourstart_.begin(), neighbourstart_.end() - 1);
        pool_.resize(pool_.size() + 2 * near.size());
        for (const Near& e : near) {
            pool_[std::size_t(fill[std::size_t(e.a)]++)] = {e.d, e.b};
            pool_[std::size_t(fill[std::size_t(e.b)]++)] = {e.d, e.a};
        }
    }

    // The stream's entry for the heap: its nearest candidate still unplaced, dropping the placed
    // ones from its list, or the marker when none is left and more may lie beyond the bound.
    // None when nothing is left, or when the stream waits with the first batch's bound.
    std::optional<Pair> next(Kind& kind, int position) {
        Stream& st = kind.streams[std::size_t(position)];
        int best = -1;
        int kept = st.begin;
        for (int i = st.begin; i < st.end; ++i) {
            const Candidate c = pool_[std::size_t(i)];
            if (placed_[std::size_t(c.atom)]) {
                continue;
            }
            pool_[std::size_t(kept)] = c;
            if (best < 0 ||
                before(c.d, c.atom, pool_[std::size_t(best)].d, pool_[std::size_t(best)].atom)) {
                best = kept;
            }
            ++kept;
        }
        st.end = kept;
        if (best >= 0) {
            return Pair{pool_[std::size_t(best)].d, position, pool_[std::size_t(best)].atom};
        }
        if (st.complete) {
            return std::nullopt;
        }
        if (st.lastd == firstbound && st.lastatom == std::numeric_limits<int>::max()) {
            kind.waiting.push_back(position);
            return std::nullopt;
        }
        return Pair{st.lastd, position, 0};
    }

    // The stream's next batch, and its entry in the heap.
    void enter(Kind& kind, bool heavy, int position) {
        fetch(kind, heavy, position);
        if (const std::optional<Pair> e = next(kind, position)) {
            kind.heap.push(*e);
        }
    }

    // The next batch of the unplaced atoms of the kind nearest to the atom at `position`,
    // beyond those handed out. The first batch is every unplaced atom within `firstreach`,
    // found in a grid: atoms inside a finished region offer none, and most new molecules start
    // within that distance, so few atoms need more. The stream then waits with that distance
    // as its bound. The second batch is the nearest ones within twice that distance; later
    // batches are unbounded, each twice the size of the one before, so repeated searches cost
    // no more than the last. Both come from the tree of the unplaced atoms, which passes over
    // a finished region at once, where the grid would list its placed atoms one by one.
    void fetch(Kind& kind, bool heavy, int position) {
        Stream& st = kind.streams[std::size_t(position)];
        const int a = s_.iorder(position, 2);
        const std::size_t want = std::size_t(4) << std::min(st.batches, 20);
        const int stage = st.batches;
        const std::array<double, 3> pa = point(s_.xyz, a);
        st.begin = int(pool_.size());
        st.end = st.begin;
        if (stage != 0 || !kind.grid) {
            // Far from every unplaced atom the bound moves up to the nearest box of them, and
            // the atom waits there without a search; it searches when the bound moves no more.
            const double nearest = tree(heavy, a).lowerbound(pa.data());
            const double below = std::nextafter(nearest, 0.0);
            if (below > st.lastd && below < nearest) {
                st.lastd = below;
                st.lastatom = std::numeric_limits<int>::max();
                return;
            }
        }
        ++st.batches;
        if (stage == 0 && kind.grid) {
            const double reach2 = firstreach * firstreach;
            if (heavy) {
                st.begin = neighbourstart_[std::size_t(a)];
                st.end = neighbourstart_[std::size_t(a) + 1];
            } else {
                kind.grid->ball(pa, firstreach, [&](int b, const double* pb) {
                    if (!placed_[std::size_t(b)] && inkind(heavy, a, b)) {
                        const double d = distance2(pa.data(), pb);
                        if (d < reach2) {
                            pool_.push_back({d, b});
                        }
                    }
                });
                st.end = int(pool_.size());
            }
            // Listed: every atom nearer than the reach, and none at it or beyond.
            st.lastd = firstbound;
            st.lastatom = std::numeric_limits<int>::max();
            return;
        }
        const bool second = stage == 1 && kind.grid;
        const double bound = second ? 4.0 * firstreach * firstreach : pairlimit;
        found_.clear();
        auto offer = [&](int b, double d) {
            if (!(d < bound) || !before(st.lastd, st.lastatom, d, b)) {
                return;
            }
            if (found_.size() == want && !before(d, b, found_.back().d, found_.back().atom)) {
                return;
            }
            const Candidate c{d, b};
            found_.insert(std::upper_bound(found_.begin(), found_.end(), c,
                                           [](const Candidate& x, const Candidate& y) {
                                               return before(x.d, x.atom, y.d, y.atom);
                                           }),
                          c);
            if (found_.size() > want) {
                found_.pop_back();
            }
        };
        tree(heavy, a).search(pa.data(), offer,
                              [&] { return found_.size() == want ? found_.back().d : bound; });
        pool_.insert(pool_.end(), found_.begin(), found_.end());
        st.end = int(pool_.size());
        st.complete = found_.size() < want;
        if (second && st.complete) {
            // Every atom nearer than twice the reach listed; farther ones may remain. A bound
            // already beyond stays.
            st.complete = false;
            const double reached = std::nextafter(bound, 0.0);
            if (reached > st.lastd) {
                st.lastd = reached;
                st.lastatom = std::numeric_limits<int>::max();
            }
        } else if (!found_.empty()) {
            st.lastd = found_.back().d;
            st.lastatom = found_.back().atom;
        }
    }

    // About the distance between neighbouring molecules (Bohr).
    static constexpr double firstreach = 7.0;
    // The bound of a first batch: every atom nearer than the first reach.
    const double firstbound = std::nextafter(firstreach * firstreach, 0.0);

    const Store& s_;
    const std::vector<char>& placed_;
    std::array<std::optional<UnplacedTree>, 3> trees_; // by Partners, made when first needed
    std::array<Kind, 2> kinds_;                        // heavy pairs, hydrogen pairs
    std::vector<Candidate> pool_;                      // the streams' lists, batch after batch
    std::vector<int> neighbourstart_; // where each atom's heavy neighbours begin in pool_
    std::vector<Candidate> found_;
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
            s.log() << "Something weird is happening here ....\n";
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
