// The Z-matrix reference table against its definition (linear scans over the earlier atoms) on
// random structures, far fragments and equal distances included.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

double d2(const Store& s, int a, int b) {
    double d = 0.0;
    for (int k = 1; k <= 3; ++k) {
        const double diff = s.xyz(k, a) - s.xyz(k, b);
        d += diff * diff;
    }
    return d;
}

int nearest(const Store& s, int k, int to, int not1, int not2) {
    double best = 1000000.0;
    int found = 0;
    for (int p = 1; p < k; ++p) {
        const int e = s.iorder(p, 2);
        if (e != not1 && e != not2 && d2(s, to, e) < best) {
            best = d2(s, to, e);
            found = e;
        }
    }
    return found;
}

int bondedearlier(const Store& s, int k, int of, int not1, int not2) {
    for (int j = 1; j <= s.iconn(0, of); ++j) {
        const int n = s.iconn(j, of);
        if (n != not1 && n != not2 && s.iorder(n, 1) < k) {
            return n;
        }
    }
    return 0;
}

// References of the atom at position k >= 4, or {0, 0, 0} where the table has none.
std::array<int, 3> definition(const Store& s, int k) {
    const int a = s.iorder(k, 2);
    int b = bondedearlier(s, k, a, 0, 0);
    b = b != 0 ? b : nearest(s, k, a, 0, 0);
    if (b == 0) {
        return {0, 0, 0};
    }
    int c = bondedearlier(s, k, b, a, 0);
    c = c != 0 ? c : nearest(s, k, b, b, 0);
    if (c == 0) {
        return {b, 0, 0};
    }
    int d = bondedearlier(s, k, c, b, a);
    d = d != 0 ? d : nearest(s, k, c, b, c);
    return {b, c, d};
}

TEST(KmatrixTable, SameAsTheLinearDefinition) {
    std::mt19937 rng(11);
    const int elements[] = {1, 1, 6, 7, 8, 17, 94};
    int checked = 0;
    for (int trial = 0; trial < 400; ++trial) {
        Store s;
        s.nat = std::uniform_int_distribution<int>(4, trial % 10 == 0 ? 250 : 40)(rng);
        allocstuff(s);
        const double box = std::uniform_real_distribution<double>(2.0, 60.0)(rng);
        const bool lattice = trial % 3 == 0;
        for (int a = 1; a <= s.nat; ++a) {
            s.iat(a) = elements[rng() % 7];
            for (int k = 1; k <= 3; ++k) {
                const double x = std::uniform_real_distribution<double>(0.0, box)(rng);
                s.xyz(k, a) = lattice ? std::floor(x / 2.5) * 2.5 + 0.1 * a : x;
            }
            if (trial % 4 == 1 && rng() % 6 == 0) {
                s.xyz(2, a) += 900.0; // beyond 1000 Bohr of most atoms, within it of some
            }
        }
        // The chemical order puts earlier atoms anywhere in the store.
        s.reorder = trial % 2 == 1;
        // Crowding beyond 18 bonds or no partner within reach are failures of their own.
        try {
            arrange(s);
        } catch (const RunError&) {
            continue;
        }
        for (int k = 4; k <= s.nat; ++k) {
            const std::array<int, 3> want = definition(s, k);
            const int a = s.iorder(k, 2);
            ASSERT_EQ(s.kmatrx(1, a), want[0]) << "trial " << trial << " position " << k;
            ASSERT_EQ(s.kmatrx(2, a), want[1]) << "trial " << trial << " position " << k;
            ASSERT_EQ(s.kmatrx(3, a), want[2]) << "trial " << trial << " position " << k;
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000);
}

} // namespace
