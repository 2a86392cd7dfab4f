// Bond orders from the connectivity alone: H, C, N and O have a usual valence (1, 4, 3, 2), and
// the bonds between atoms still short of it are raised one step per round along a maximum
// matching of those atoms, so that an aromatic ring gets alternating double bonds and an alkyne
// its triple bond. Atoms of other elements, and atoms no matching reaches, keep single bonds.
#include "store/store.h"
#include "writers/writers.h"

#include <algorithm>
#include <vector>

namespace {

int usualvalence(int z) {
    switch (z) {
    case 1:
        return 1;
    case 6:
        return 4;
    case 7:
        return 3;
    case 8:
        return 2;
    default:
        return 0;
    }
}

// Maximum matching in a general graph (Edmonds: augmenting paths, odd cycles shrunk to their
// base), so that odd rings and fused ring systems are matched as far as they can be.
class Matching {
  public:
    explicit Matching(const std::vector<std::vector<int>>& graph)
        : g_(graph), n_(int(graph.size())), match_(std::size_t(n_), -1) {
        // A greedy start; the augmenting paths then only mend what it missed.
        for (int v = 0; v < n_; ++v) {
            for (const int w : g_[std::size_t(v)]) {
                if (match_[std::size_t(v)] < 0 && match_[std::size_t(w)] < 0) {
                    match_[std::size_t(v)] = w;
                    match_[std::size_t(w)] = v;
                }
            }
        }
        for (int v = 0; v < n_; ++v) {
            if (match_[std::size_t(v)] < 0) {
                augment(findpath(v));
            }
        }
    }
    int partner(int v) const { return match_[std::size_t(v)]; }

  private:
    int& matchof(int v) { return match_[std::size_t(v)]; }
    int& parent(int v) { return parent_[std::size_t(v)]; }
    int& base(int v) { return base_[std::size_t(v)]; }

    void augment(int v) {
        while (v >= 0) {
            const int pv = parent(v);
            const int next = matchof(pv);
            matchof(v) = pv;
            matchof(pv) = v;
            v = next;
        }
    }

    int commonbase(int a, int b) {
        std::vector<char> seen(std::size_t(n_), 0);
        while (true) {
            a = base(a);
            seen[std::size_t(a)] = 1;
            if (matchof(a) < 0) {
                break;
            }
            a = parent(matchof(a));
        }
        while (true) {
            b = base(b);
            if (seen[std::size_t(b)] != 0) {
                return b;
            }
            b = parent(matchof(b));
        }
    }

    void markpath(int v, int b, int child) {
        while (base(v) != b) {
            inblossom_[std::size_t(base(v))] = 1;
            inblossom_[std::size_t(base(matchof(v)))] = 1;
            parent(v) = child;
            child = matchof(v);
            v = parent(matchof(v));
        }
    }

    // The unmatched vertex an augmenting path from root ends at, or -1.
    int findpath(int root) {
        used_.assign(std::size_t(n_), 0);
        parent_.assign(std::size_t(n_), -1);
        base_.resize(std::size_t(n_));
        for (int i = 0; i < n_; ++i) {
            base(i) = i;
        }
        used_[std::size_t(root)] = 1;
        std::vector<int> queue{root};
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const int v = queue[head];
            for (const int to : g_[std::size_t(v)]) {
                if (base(v) == base(to) || matchof(v) == to) {
                    continue;
                }
                if (to == root || (matchof(to) >= 0 && parent(matchof(to)) >= 0)) {
                    const int b = commonbase(v, to);
                    inblossom_.assign(std::size_t(n_), 0);
                    markpath(v, b, to);
                    markpath(to, b, v);
                    for (int i = 0; i < n_; ++i) {
                        if (inblossom_[std::size_t(base(i))] != 0) {
                            base(i) = b;
                            if (used_[std::size_t(i)] == 0) {
                                used_[std::size_t(i)] = 1;
                                queue.push_back(i);
                            }
                        }
                    }
                } else if (parent(to) < 0) {
                    parent(to) = v;
                    if (matchof(to) < 0) {
                        return to;
                    }
                    used_[std::size_t(matchof(to))] = 1;
                    queue.push_back(matchof(to));
                }
            }
        }
        return -1;
    }

    const std::vector<std::vector<int>>& g_;
    int n_;
    std::vector<int> match_;
    std::vector<int> parent_;
    std::vector<int> base_;
    std::vector<char> used_;
    std::vector<char> inblossom_;
};

} // namespace

std::vector<Bond> bondorders(const Store& s) {
    std::vector<Bond> bonds;
    std::vector<int> missing(std::size_t(s.nat) + 1, 0); // valence still missing, by store atom
    for (int a = 1; a <= s.nat; ++a) {
        const int n = s.iconn(0, a);
        for (int k = 1; k <= n; ++k) {
            if (s.iconn(k, a) > a) {
                bonds.push_back({a, s.iconn(k, a), 1});
            }
        }
        const int valence = usualvalence(s.iat(a));
        missing[std::size_t(a)] = valence > 0 ? std::max(valence - n, 0) : 0;
    }
    // Two rounds reach the triple bond; each bond is raised at most once per round.
    for (int round = 0; round < 2; ++round) {
        std::vector<int> vertex(std::size_t(s.nat) + 1, -1);
        std::vector<int> atom;
        for (int a = 1; a <= s.nat; ++a) {
            if (missing[std::size_t(a)] > 0) {
                vertex[std::size_t(a)] = int(atom.size());
                atom.push_back(a);
            }
        }
        std::vector<std::vector<int>> graph(atom.size());
        std::vector<std::size_t> edges;
        for (std::size_t i = 0; i < bonds.size(); ++i) {
            const int va = vertex[std::size_t(bonds[i].a)];
            const int vb = vertex[std::size_t(bonds[i].b)];
            if (va >= 0 && vb >= 0 && bonds[i].order < 3) {
                graph[std::size_t(va)].push_back(vb);
                graph[std::size_t(vb)].push_back(va);
                edges.push_back(i);
            }
        }
        if (edges.empty()) {
            break;
        }
        const Matching m(graph);
        for (const std::size_t i : edges) {
            Bond& b = bonds[i];
            if (m.partner(vertex[std::size_t(b.a)]) == vertex[std::size_t(b.b)]) {
                ++b.order;
                --missing[std::size_t(b.a)];
                --missing[std::size_t(b.b)];
            }
        }
    }
    return bonds;
}
