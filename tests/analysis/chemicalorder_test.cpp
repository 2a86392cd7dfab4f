// The chemical reordering against the procedure it implements, done literally: the scans that
// restart at atom 1 after every placement and the search over every placed and unplaced pair.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

struct Result {
    std::vector<int> position; // iorder(a, 1)
    std::vector<int> atom;     // iorder(p, 2)
    std::vector<int> molecule; // iatmol
    bool failed = false;
};

Result literal(const Store& s) {
    const int n = s.nat;
    Result r;
    r.position.assign(std::size_t(n) + 1, 0);
    r.atom.assign(std::size_t(n) + 1, 0);
    r.molecule.assign(std::size_t(n) + 1, 0);
    for (int a = 1; a <= n; ++a) {
        r.molecule[std::size_t(a)] = s.iatmol(a);
    }
    std::vector<bool> placed(std::size_t(n) + 1, false);
    int m = 0;
    int molecule = 1;
    bool fresh = true;
    auto put = [&](int a) {
        ++m;
        r.position[std::size_t(a)] = m;
        r.atom[std::size_t(m)] = a;
        placed[std::size_t(a)] = true;
    };
    auto place = [&](int a) {
        put(a);
        if (r.molecule[std::size_t(a)] == 0) {
            r.molecule[std::size_t(a)] = molecule;
        }
        for (int j = 1; j <= s.iconn(0, a); ++j) {
            const int h = s.iconn(j, a);
            if (s.iat(h) == 1 && !placed[std::size_t(h)]) {
                put(h);
            }
        }
    };
    auto qualifies = [&](int a) {
        if (fresh || m == 0) {
            return true;
        }
        for (int j = 1; j <= s.iconn(0, a); ++j) {
            if (placed[std::size_t(s.iconn(j, a))]) {
                return true;
            }
        }
        return false;
    };
    auto pass = [&](bool heavy) {
        for (int a = 1; a <= n; ++a) {
            if ((heavy ? s.iat(a) > 1 : s.iat(a) == 1) && !placed[std::size_t(a)] && qualifies(a)) {
                place(a);
                return true;
            }
        }
        return false;
    };
    while (m < n) {
        if (pass(true) || pass(false)) {
            fresh = false;
            continue;
        }
        if (fresh) {
            r.failed = true;
            return r;
        }
        double bestheavy = 1000000.0;
        double besthydrogen = 1000000.0;
        int heavy = 0;
        int hydrogen = 0;
        for (int p = 1; p <= m; ++p) {
            const int q = r.atom[std::size_t(p)];
            for (int a = 1; a <= n; ++a) {
                if (placed[std::size_t(a)]) {
                    continue;
                }
                double d = 0.0;
                for (int k = 1; k <= 3; ++k) {
                    const double diff = s.xyz(k, q) - s.xyz(k, a);
                    d += diff * diff;
                }
                if (s.iat(q) > 1 && s.iat(a) > 1 && d < bestheavy) {
                    bestheavy = d;
                    heavy = a;
                } else if ((s.iat(q) == 1 || s.iat(a) == 1) && d < besthydrogen) {
                    besthydrogen = d;
                    hydrogen = a;
                }
            }
        }
        if (heavy != 0) {
            place(heavy);
            fresh = false;
        } else if (hydrogen != 0) {
            place(hydrogen);
            fresh = false;
        } else {
            ++molecule;
            fresh = true;
        }
    }
    return r;
}

// Structures of every kind the ordering meets: dense and sparse molecules, atoms on a lattice
// (many equal distances), coincident atoms, fragments beyond 1000 Bohr, dummy and element-0
// atoms, atoms without finite coordinates, coordinates too large for a grid, numbers a reader
// stored.
Store randomstore(std::mt19937& rng, int trial) {
    Store s;
    const int most = trial % 100 == 0 ? 400 : trial % 10 == 0 ? 120 : 30;
    s.nat = std::uniform_int_distribution<int>(1, most)(rng);
    allocstuff(s);
    const int elements[] = {1, 1, 1, 1, 6, 7, 8, 8, 17, 94};
    const bool lattice = trial % 3 == 0;
    const double box =
        std::cbrt(double(s.nat)) * std::uniform_real_distribution<double>(1.5, 8.0)(rng);
    // 3.5 Bohr is the first search's cell edge, and twice it the reach of that search.
    const double steps[] = {4.0, 1.25, 3.5};
    const double step = steps[(trial / 3) % 3];
    std::uniform_real_distribution<double> coordinate(0.0, box);
    for (int a = 1; a <= s.nat; ++a) {
        s.iat(a) = elements[rng() % 10];
        if (trial % 17 == 5 && rng() % 40 == 0) {
            s.iat(a) = 0;
        }
        for (int k = 1; k <= 3; ++k) {
            const double x = coordinate(rng);
            s.xyz(k, a) = lattice ? std::floor(x / step) * step : x;
        }
        if (trial % 4 == 1 && rng() % 5 == 0) {
            s.xyz(1, a) += rng() % 2 == 0 ? 995.0 : 2500.0;
        }
        if (trial % 7 == 3 && a > 1 && rng() % 8 == 0) {
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = s.xyz(k, a - 1);
            }
        }
        if (trial % 11 == 4 && rng() % 15 == 0) {
            s.xyz(2, a) = rng() % 2 == 0 ? std::numeric_limits<double>::quiet_NaN()
                                         : std::numeric_limits<double>::infinity();
        }
        if (trial % 29 == 8 && rng() % 10 == 0) {
            s.xyz(3, a) += rng() % 2 == 0 ? 3e12 : -1e300; // far out; differences overflow
        }
        if (trial % 5 == 2 && rng() % 4 == 0) {
            s.iatmol(a) = std::uniform_int_distribution<int>(1, 5)(rng);
        }
    }
    return s;
}

// Water as the bench orders it, in up to three clusters of molecules on a lattice: exact in
// every other trial (equal distances between the oxygens, and between the hydrogens, turned all
// alike), with sites left empty, stray hydrogen atoms bonded to nothing, clusters apart by less or
// more than the reach of a first search or beyond 1000 Bohr, and the atoms numbered at random.
Store waterclusters(std::mt19937& rng, int trial) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const bool exact = trial % 2 == 0;
    const int side = 3 + trial % 2;
    const double spacing = exact ? 5.5 : 5.87;
    const double gaps[] = {3.0, 9.0, 20.0, 1500.0};
    struct Atom {
        int z;
        std::array<double, 3> x;
    };
    std::vector<Atom> atoms;
    double offset = 0.0;
    for (int cluster = 0; cluster < 1 + trial % 3; ++cluster) {
        for (int m = 0; m < side * side * side; ++m) {
            if (rng() % 5 == 0) {
                continue;
            }
            std::array<double, 3> o{offset + spacing * (m % side), spacing * ((m / side) % side),
                                    spacing * (m / (side * side))};
            if (!exact) {
                for (double& c : o) {
                    c += 0.3 * u(rng);
                }
            }
            atoms.push_back({8, o});
            for (int h = 0; h < 2; ++h) {
                std::array<double, 3> dir{exact ? 1.0 - h : u(rng), exact ? double(h) : u(rng),
                                          exact ? 0.0 : u(rng)};
                const double len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
                atoms.push_back({1,
                                 {o[0] + 1.81 * dir[0] / len, o[1] + 1.81 * dir[1] / len,
                                  o[2] + 1.81 * dir[2] / len}});
            }
            if (rng() % 10 == 0) {
                atoms.push_back({1, {o[0] + spacing / 2, o[1] + spacing / 2, o[2] + spacing / 2}});
            }
        }
        offset += spacing * side + gaps[rng() % 4];
    }
    std::shuffle(atoms.begin(), atoms.end(), rng);
    Store s;
    s.nat = int(atoms.size());
    allocstuff(s);
    for (int a = 1; a <= s.nat; ++a) {
        s.iat(a) = atoms[std::size_t(a - 1)].z;
        for (int k = 1; k <= 3; ++k) {
            s.xyz(k, a) = atoms[std::size_t(a - 1)].x[std::size_t(k - 1)];
        }
    }
    return s;
}

// The neighbour lists as the arrangement step leaves them; false for a store too crowded for
// them, where the run stops before any ordering.
bool connect(Store& s) {
    testing::internal::CaptureStdout();
    bool ok = true;
    try {
        make_iconn(s);
    } catch (const RunError&) {
        ok = false;
    }
    testing::internal::GetCapturedStdout();
    return ok;
}

TEST(ChemicalOrder, SameAsTheLiteralProcedure) {
    std::mt19937 rng(424242);
    int failures = 0;
    int ordered = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Store s = randomstore(rng, trial);
        if (!connect(s)) {
            continue;
        }
        ++ordered;
        const Result want = literal(s);
        testing::internal::CaptureStdout();
        bool failed = false;
        try {
            chemicalorder(s);
        } catch (const RunError& e) {
            failed = true;
            EXPECT_STREQ(e.what(), "Unexpected error");
            EXPECT_EQ(e.routine, "arrange");
        }
        const std::string out = testing::internal::GetCapturedStdout();
        ASSERT_EQ(failed, want.failed) << "trial " << trial;
        if (failed) {
            EXPECT_EQ(out, "Something weird is happening here ....\n");
            ++failures;
            continue;
        }
        for (int a = 1; a <= s.nat; ++a) {
            ASSERT_EQ(s.iorder(a, 1), want.position[std::size_t(a)]) << "trial " << trial;
            ASSERT_EQ(s.iorder(a, 2), want.atom[std::size_t(a)]) << "trial " << trial;
            ASSERT_EQ(s.iatmol(a), want.molecule[std::size_t(a)]) << "trial " << trial;
        }
    }
    EXPECT_GT(failures, 0);
    EXPECT_GT(ordered, 2000);
}

} // namespace

// A store that the ordering completes, ordered as the literal procedure orders it.
void expectliteralorder(Store& s, int trial) {
    ASSERT_TRUE(connect(s));
    const Result want = literal(s);
    ASSERT_FALSE(want.failed);
    testing::internal::CaptureStdout();
    chemicalorder(s);
    testing::internal::GetCapturedStdout();
    for (int a = 1; a <= s.nat; ++a) {
        ASSERT_EQ(s.iorder(a, 1), want.position[std::size_t(a)]) << "trial " << trial;
        ASSERT_EQ(s.iatmol(a), want.molecule[std::size_t(a)]) << "trial " << trial;
    }
}

TEST(ChemicalOrder, WaterClustersAsTheLiteralProcedure) {
    std::mt19937 rng(2121);
    for (int trial = 0; trial < 16; ++trial) {
        Store s = waterclusters(rng, trial);
        ASSERT_NO_FATAL_FAILURE(expectliteralorder(s, trial));
    }
}

// A sparse gas of clumps of twelve atoms (hydrogens, heavy and dummy atoms) within 4 Bohr in each
// direction, on a lattice in even trials: most placements are closest pairs, and an atom's
// nearest partners run out batch after batch.
TEST(ChemicalOrder, SparseGasAsTheLiteralProcedure) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int trial = 0; trial < 12; ++trial) {
        Store s;
        s.nat = 150 + 30 * trial;
        allocstuff(s);
        const double box = 60.0 + 25.0 * (trial % 4);
        std::array<double, 3> clump{};
        for (int a = 1; a <= s.nat; ++a) {
            const int kind = int(rng() % 20);
            s.iat(a) = kind < 9 ? 1 : kind < 19 ? 6 + kind % 3 : 0;
            if (a % 12 == 1) {
                clump = {box * u(rng), box * u(rng), box * u(rng)};
            }
            for (std::size_t k = 0; k < 3; ++k) {
                const double x = clump[k] + 4.0 * u(rng);
                s.xyz(int(k) + 1, a) = trial % 2 == 0 ? std::floor(x) : x;
            }
        }
        ASSERT_NO_FATAL_FAILURE(expectliteralorder(s, trial));
    }
}
