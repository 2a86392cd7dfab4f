// Molecule numbers spread along the bonds. The numbering is defined as nat sweeps over the atoms
// in order: in a sweep for label L every atom that holds L gives L to its bonded neighbours (so
// the label runs forward through higher-numbered atoms within the sweep, and backward only in
// the next one); a sweep that numbers no new atom moves on to label L + 1, given first to the
// lowest-numbered atom still without a number. Numbers a reader stored count as numbered and
// are taken over by a sweep that reaches them, and a stored number equal to a later label takes
// part in that label's sweeps.
//
// Done literally that costs nat sweeps over all atoms. Here each sweep visits only the atoms
// that can still pass the label on: those that received it since they last passed it on, in
// increasing order (a heap), which gives the same numbers with each bond followed at most once
// per label.
#include "analysis/analysis.h"
#include "store/store.h"

#include <functional>
#include <queue>
#include <vector>

void numbermolecules(Store& s) {
    const int n = s.nat;
    if (n < 1) {
        return;
    }
    // Atoms holding each label that a sweep can reach (1..n + 1), as stored before numbering.
    std::vector<std::vector<int>> holders(std::size_t(n) + 2);
    s.iatmol(1) = 1;
    long long numbered = 0;
    for (int a = 1; a <= n; ++a) {
        const int label = s.iatmol(a);
        if (label != 0) {
            ++numbered;
        }
        if (label >= 1 && label <= n + 1) {
            holders[std::size_t(label)].push_back(a);
        }
    }
    std::vector<int> passedon(std::size_t(n) + 1, 0); // last label each atom passed on
    using MinHeap = std::priority_queue<int, std::vector<int>, std::greater<>>;
    MinHeap thissweep(std::greater<>{}, holders[1]);
    std::vector<int> nextsweep;
    int label = 1;
    long long previous = 1;
    int firstunnumbered = 1;
    for (int sweep = 1; sweep <= n; ++sweep) {
        while (!thissweep.empty()) {
            const int a = thissweep.top();
            thissweep.pop();
            if (s.iatmol(a) != label || passedon[std::size_t(a)] == label) {
                continue;
            }
            passedon[std::size_t(a)] = label;
            for (int j = 1; j <= s.iconn(0, a); ++j) {
                const int b = s.iconn(j, a);
                if (s.iatmol(b) == label) {
                    continue;
                }
                if (s.iatmol(b) == 0) {
                    ++numbered;
                }
                s.iatmol(b) = label;
                // A higher-numbered atom is still ahead in this sweep; a lower one waits.
                if (b > a) {
                    thissweep.push(b);
                } else {
                    nextsweep.push_back(b);
                }
            }
        }
        const long long counted = numbered;
        if (counted == previous) {
            ++label;
            while (firstunnumbered <= n && s.iatmol(firstunnumbered) != 0) {
                ++firstunnumbered;
            }
            nextsweep.clear(); // they hold the old label, which no sweep visits again
            if (label <= n + 1) {
                nextsweep = holders[std::size_t(label)];
            }
            if (firstunnumbered <= n) {
                s.iatmol(firstunnumbered) = label;
                ++numbered;
                nextsweep.push_back(firstunnumbered);
            }
        }
        previous = counted;
        thissweep = MinHeap(std::greater<>{}, std::move(nextsweep));
        nextsweep = {};
    }
}
