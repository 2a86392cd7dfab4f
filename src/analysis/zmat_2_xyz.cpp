// Cartesian coordinates from internal coordinates. The first atom goes to the origin, the
// second onto the x axis, the third into the xy plane; every further atom is placed as soon as
// its three reference atoms are, whatever the order of the list.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/fixedwidth.h"

#include <new>
#include <ostream>
#include <vector>

namespace {

constexpr double halfpi = 1.5707963267948966;

} // namespace

void zmat_2_xyz(int n, const int* refs, const double* vals, double* coords, std::ostream& log) {
    std::vector<int> rank; // placement rank of each atom, 0 while not placed
    try {
        rank.assign(std::size_t(n > 0 ? n : 0) + 1, 0);
    } catch (const std::bad_alloc&) {
        myexit("Unable to allocate idone", "zmat_2_xyz");
    }
    if (n < 1) {
        myexit("Error: first atom not found", "zmat_2_xyz");
    }
    auto ref = [&](int k, int a) { return refs[3 * std::size_t(a - 1) + std::size_t(k - 1)]; };
    auto val = [&](int k, int a) { return vals[3 * std::size_t(a - 1) + std::size_t(k - 1)]; };
    auto point = [&](int a) {
        const double* p = coords + 3 * std::size_t(a - 1);
        return Vec3{p[0], p[1], p[2]};
    };
    auto place = [&](int a, const Vec3& p) {
        double* q = coords + 3 * std::size_t(a - 1);
        q[0] = p[0];
        q[1] = p[1];
        q[2] = p[2];
    };
    for (int a = 1; a <= n; ++a) {
        for (int k = 1; k <= 3; ++k) {
            if (ref(k, a) < 0 || ref(k, a) > n) {
                myexit("Error: reference atom out of range", "zmat_2_xyz");
            }
        }
        place(a, Vec3{0.0, 0.0, 0.0});
    }
    // The last atom of the list with the wanted pattern of references (true: non-zero).
    auto lastwith = [&](bool k1, bool k2, bool k3) {
        int found = 0;
        for (int a = 1; a <= n; ++a) {
            if ((ref(1, a) != 0) == k1 && (ref(2, a) != 0) == k2 && (ref(3, a) != 0) == k3) {
                found = a;
            }
        }
        return found;
    };
    auto cannotfill = [&log](int k) {
        log << "Can not fill Z-matrix for " << fw::I(k, 5) << "th atom\n";
        myexit("Can not fill zmat", "zmat_2_xyz");
    };

    const int first = lastwith(false, false, false);
    if (first == 0) {
        myexit("Error: first atom not found", "zmat_2_xyz");
    }
    rank[std::size_t(first)] = 1;
    if (n == 1) {
        return;
    }

    // The second atom lies on the x axis at its distance; its partner plays no part.
    const int second = lastwith(true, false, false);
    if (second == 0) {
        myexit("Error: second atom not found", "zmat_2_xyz");
    }
    place(second, Vec3{val(1, second), 0.0, 0.0});
    rank[std::size_t(second)] = 2;
    if (n == 2) {
        return;
    }

    const int third = lastwith(true, true, false);
    if (third == 0) {
        myexit("Error: third atom not found", "zmat_2_xyz");
    }
    // Its partners must be the two atoms already placed; any other atom still sits at the
    // origin and would give a wrong position without a word.
    if (rank[std::size_t(ref(1, third))] == 0 || rank[std::size_t(ref(2, third))] == 0) {
        cannotfill(3);
    }
    place(third, zmat2c(point(ref(1, third)), point(ref(2, third)), Vec3{0.0, 0.0, 1.0},
                        val(1, third), val(2, third), halfpi, log));
    rank[std::size_t(third)] = 3;

    for (int k = 4; k <= n; ++k) {
        int next = 0;
        for (int m = 1; m <= n && next == 0; ++m) {
            const int k1 = ref(1, m);
            const int k2 = ref(2, m);
            const int k3 = ref(3, m);
            if (k1 != 0 && k2 != 0 && k3 != 0 && rank[std::size_t(m)] == 0 &&
                rank[std::size_t(k1)] != 0 && rank[std::size_t(k2)] != 0 &&
                rank[std::size_t(k3)] != 0) {
                next = m;
            }
        }
        if (next == 0) {
            cannotfill(k);
        }
        place(next, zmat2c(point(ref(1, next)), point(ref(2, next)), point(ref(3, next)),
                           val(1, next), val(2, next), val(3, next), log));
        rank[std::size_t(next)] = k;
    }
}
