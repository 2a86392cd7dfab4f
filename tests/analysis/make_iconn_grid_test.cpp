// The connectivity against the all-pairs definition on random and degenerate structures: equal
// distances, atoms on cell boundaries, far fragments, dummy atoms, crowded atoms.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/fixedwidth.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>

namespace {

struct Lists {
    std::vector<int> iconn, inear;
    std::vector<double> rconn, rnear;
    std::string failure;
};

bool insertsorted(std::vector<int>& at, std::vector<double>& d, std::size_t from, int length,
                  int partner, double r) {
    for (int k = 0; k < length; ++k) {
        if (d[from + std::size_t(k)] > r) {
            for (int m = length - 1; m > k; --m) {
                at[from + std::size_t(m)] = at[from + std::size_t(m - 1)];
                d[from + std::size_t(m)] = d[from + std::size_t(m - 1)];
            }
            at[from + std::size_t(k)] = partner;
            d[from + std::size_t(k)] = r;
            return true;
        }
    }
    return false;
}

// Partner p at distance r into atom a's bonded list; false, with the failure printed, when the
// list is full.
bool addbondto(Lists& l, int a, int p, double r) {
    int& count = l.iconn[std::size_t(a) * 19];
    if (++count > maxconn) {
        std::ostringstream out;
        out << "Number of connections for atom " << fw::I(a, 3) << " (" << fw::I(count, 3)
            << ") larger than maximum " << fw::I(maxconn, 3) << '\n';
        for (int k = 1; k <= maxconn; ++k) {
            out << fw::I(l.iconn[std::size_t(a) * 19 + std::size_t(k)], 5);
        }
        out << fw::I(p, 5) << '\n';
        l.failure = out.str();
        return false;
    }
    if (!insertsorted(l.iconn, l.rconn, std::size_t(a) * 19 + 1, maxconn, p, r)) {
        l.iconn[std::size_t(a) * 19 + std::size_t(count)] = p;
        l.rconn[std::size_t(a) * 19 + std::size_t(count)] = r;
    }
    return true;
}

// The definition: every pair, i ascending and j < i ascending, inserted into sorted lists.
Lists reference(const Store& s) {
    const std::size_t n = std::size_t(s.nat) + 1;
    Lists l{std::vector<int>(n * 19, 0), std::vector<int>(n * 21, 0),
            std::vector<double>(n * 19, 0.0), std::vector<double>(n * 21, 1000000.0), ""};
    auto addbond = [&](int a, int p, double r) { return addbondto(l, a, p, r); };
    for (int i = 1; i <= s.nat; ++i) {
        for (int j = 1; j < i; ++j) {
            const double r = bond(point(s.xyz, i), point(s.xyz, j));
            if (bonded(r, s.iat(i), s.iat(j))) {
                if (!addbond(i, j, r) || !addbond(j, i, r)) {
                    return l;
                }
            } else {
                insertsorted(l.inear, l.rnear, std::size_t(i) * 21 + 1, maxnear, j, r);
                insertsorted(l.inear, l.rnear, std::size_t(j) * 21 + 1, maxnear, i, r);
            }
        }
    }
    for (std::size_t a = 1; a < n; ++a) {
        for (int k = 1; k <= maxnear; ++k) {
            l.inear[a * 21] += l.inear[a * 21 + std::size_t(k)] != 0 ? 1 : 0;
        }
    }
    return l;
}

Store randomstore(std::mt19937& rng, int trial) {
    Store s;
    s.nat = std::uniform_int_distribution<int>(1, trial % 10 == 0 ? 300 : 60)(rng);
    allocstuff(s);
    const int elements[] = {1, 1, 1, 6, 6, 7, 8, 26, 94, 86, 93, 17};
    const double box = std::uniform_real_distribution<double>(1.0, 40.0)(rng);
    const unsigned style = rng() % 4;
    for (int a = 1; a <= s.nat; ++a) {
        s.iat(a) = elements[rng() % 12];
        for (int k = 1; k <= 3; ++k) {
            double x = std::uniform_real_distribution<double>(0.0, box)(rng);
            if (style == 1) {
                x = std::floor(x / 1.5) * 1.5; // a lattice: many equal distances
            }
            s.xyz(k, a) = x;
        }
        if (style == 2 && rng() % 5 == 0) {
            s.xyz(1, a) += 1.0e4 * double(rng() % 3); // far fragments
        }
        if (style == 3 && a > 1 && rng() % 4 == 0) {
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = s.xyz(k, a - 1); // the same place as the atom before
            }
        }
    }
    if (rng() % 20 == 0) {
        s.xyz(2, 1) = 3.0e6; // beyond every non-bonded distance kept
    }
    return s;
}

TEST(MakeIconnGrid, SameListsAsEveryPair) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 800; ++trial) {
        Store s = randomstore(rng, trial);
        const Lists want = reference(s);
        testing::internal::CaptureStdout();
        std::string failure;
        try {
            make_iconn(s);
        } catch (const RunError& e) {
            failure = e.what();
        }
        const std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_EQ(printed, want.failure) << "trial " << trial;
        if (!want.failure.empty()) {
            ASSERT_EQ(failure, "Unlikely number of connections found");
            continue;
        }
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 0; k <= maxconn; ++k) {
                ASSERT_EQ(s.iconn(k, a), want.iconn[std::size_t(a) * 19 + std::size_t(k)])
                    << "trial " << trial << " atom " << a << " slot " << k;
            }
            for (int k = 1; k <= maxconn; ++k) {
                ASSERT_EQ(s.rconn(k, a), want.rconn[std::size_t(a) * 19 + std::size_t(k)]);
            }
            for (int k = 0; k <= maxnear; ++k) {
                ASSERT_EQ(s.inear(k, a), want.inear[std::size_t(a) * 21 + std::size_t(k)])
                    << "trial " << trial << " atom " << a << " near slot " << k;
            }
            for (int k = 1; k <= maxnear; ++k) {
                ASSERT_EQ(s.rnear(k, a), want.rnear[std::size_t(a) * 21 + std::size_t(k)]);
            }
        }
    }
}

// Without near lists: the same bonded lists, and near lists empty, also where an earlier call
// had filled them; a store that goes through every pair keeps what that search finds.
TEST(MakeIconnGrid, WithoutNearListsTheSameBondsAndEmptyNearLists) {
    std::mt19937 rng(8);
    for (int trial = 0; trial < 300; ++trial) {
        Store s = randomstore(rng, trial);
        if (trial % 10 == 0) {
            s.xyz(3, s.nat) = 1.0e13;
        }
        const Lists want = reference(s);
        if (!want.failure.empty()) {
            continue;
        }
        Store filled = s;
        make_iconn(filled);
        for (Store* store : {&s, &filled}) {
            make_iconn(*store, false);
            for (int a = 1; a <= s.nat; ++a) {
                for (int k = 0; k <= maxconn; ++k) {
                    ASSERT_EQ(store->iconn(k, a), want.iconn[std::size_t(a) * 19 + std::size_t(k)])
                        << "trial " << trial << " atom " << a << " slot " << k;
                }
                for (int k = 0; k <= maxnear; ++k) {
                    const int near =
                        trial % 10 == 0 ? want.inear[std::size_t(a) * 21 + std::size_t(k)] : 0;
                    ASSERT_EQ(store->inear(k, a), near)
                        << "trial " << trial << " atom " << a << " near slot " << k;
                }
            }
        }
    }
}

// Atoms at an infinite or undefined place are at no distance from any other: every atom of
// such a store, or only some of them.
TEST(MakeIconnGrid, AtomsWithoutFiniteCoordinates) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<double>> places[] = {
        {{inf, 0.0, 0.0}, {-inf, 0.0, 0.0}, {0.0, nan, 0.0}},
        {{0.0, 0.0, 0.0}, {1.8, 0.0, 0.0}, {inf, 1.0, 0.0}, {0.0, 0.0, nan}, {0.0, 1.8, 0.0}},
    };
    for (const auto& atoms : places) {
        Store s;
        s.nat = int(atoms.size());
        allocstuff(s);
        for (int a = 1; a <= s.nat; ++a) {
            s.iat(a) = 8;
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = atoms[std::size_t(a - 1)][std::size_t(k - 1)];
            }
        }
        const Lists want = reference(s);
        make_iconn(s);
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 0; k <= maxconn; ++k) {
                EXPECT_EQ(s.iconn(k, a), want.iconn[std::size_t(a) * 19 + std::size_t(k)]);
            }
            for (int k = 0; k <= maxnear; ++k) {
                EXPECT_EQ(s.inear(k, a), want.inear[std::size_t(a) * 21 + std::size_t(k)]);
            }
        }
    }
}

// A large molecule's lists are cleared in a second thread while its bonds are searched: lists
// left full of anything by an earlier call come out as from a store that never had any, with
// and without near lists.
TEST(MakeIconnGrid, LargeMoleculeListsAsIfFresh) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> jitter(-0.4, 0.4);
    Store fresh;
    fresh.nat = 60000;
    allocstuff(fresh);
    const int side = 28; // 28^3 places 5.9 Bohr apart, about the density of liquid water
    for (int a = 1; a <= fresh.nat; ++a) {
        const int place = (a - 1) / 3;
        const int corner[3] = {place % side, (place / side) % side, place / (side * side)};
        fresh.iat(a) = (a - 1) % 3 == 0 ? 8 : 1;
        for (int k = 1; k <= 3; ++k) {
            const double offset = (a - 1) % 3 == 0 ? 0.0 : ((a - 1) % 3 == k ? 1.8 : 0.0);
            fresh.xyz(k, a) = 5.9 * corner[k - 1] + offset + jitter(rng);
        }
    }
    Store used = fresh;
    auto scramble = [&](Store& s) {
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 0; k <= maxconn; ++k) {
                s.iconn(k, a) = k == 0 ? int(rng() % 5) : int(rng() % 1000);
                s.rconn(std::max(k, 1), a) = double(rng() % 100);
            }
            for (int k = 0; k <= maxnear; ++k) {
                s.inear(k, a) = k == 0 ? 1 + int(rng() % 20) : int(rng() % 1000);
                s.rnear(std::max(k, 1), a) = double(rng() % 100);
            }
        }
    };
    for (const bool nearlists : {true, false}) {
        Store want = fresh;
        make_iconn(want, nearlists);
        scramble(used);
        make_iconn(used, nearlists);
        for (int a = 1; a <= fresh.nat; ++a) {
            for (int k = 0; k <= maxconn; ++k) {
                ASSERT_EQ(used.iconn(k, a), want.iconn(k, a)) << "atom " << a;
                ASSERT_EQ(used.rconn(std::max(k, 1), a), want.rconn(std::max(k, 1), a));
            }
            for (int k = 0; k <= maxnear; ++k) {
                ASSERT_EQ(used.inear(k, a), want.inear(k, a)) << "atom " << a;
                ASSERT_EQ(used.rnear(std::max(k, 1), a),
                          nearlists ? want.rnear(std::max(k, 1), a) : 1000000.0);
            }
        }
        EXPECT_GT(want.iconn(0, 1), 0);
    }
}

// The bonded lists of a large molecule (searched in two threads, half of the grid each) against
// every pair within a sweep along x, put in the all-pairs order: random atoms at the density of
// water, and a crowded cluster at several heights around the middle, where an atom may gather
// partners from both halves and the run must fail as the all-pairs loop fails.
TEST(MakeIconnGrid, LargeMoleculeBondsAsEveryPair) {
    const double side = 160.0; // Bohr: 60000 atoms at about the density of water
    for (const double cluster : {-1.0, -0.4, 0.0, 0.4}) {
        std::mt19937 rng(31);
        std::uniform_real_distribution<double> place(0.0, side);
        Store s;
        s.nat = 60000;
        allocstuff(s);
        const int elements[] = {1, 1, 6, 7, 8};
        for (int a = 1; a <= s.nat; ++a) {
            s.iat(a) = elements[rng() % 5];
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = place(rng);
            }
        }
        if (cluster > -1.0) {
            // 22 hydrogens within 1.2 Bohr of a point near the middle height.
            std::uniform_real_distribution<double> near(-0.7, 0.7);
            for (int a = 30000; a < 30022; ++a) {
                s.iat(a) = 1;
                s.xyz(1, a) = 40.0 + near(rng);
                s.xyz(2, a) = 40.0 + near(rng);
                s.xyz(3, a) = side / 2 + cluster * 3.0 + near(rng);
            }
        }
        // Every pair within 4.5 Bohr along x and y, beyond any bond of these elements.
        std::vector<int> byx(std::size_t(s.nat));
        std::iota(byx.begin(), byx.end(), 1);
        std::sort(byx.begin(), byx.end(), [&](int a, int b) { return s.xyz(1, a) < s.xyz(1, b); });
        struct Bond {
            int i, j;
            double r;
        };
        std::vector<Bond> bonds;
        for (std::size_t m = 0; m < byx.size(); ++m) {
            for (std::size_t n = m + 1;
                 n < byx.size() && s.xyz(1, byx[n]) - s.xyz(1, byx[m]) <= 4.5; ++n) {
                if (std::abs(s.xyz(2, byx[n]) - s.xyz(2, byx[m])) > 4.5) {
                    continue;
                }
                const int i = std::max(byx[m], byx[n]);
                const int j = std::min(byx[m], byx[n]);
                const double r = bond(point(s.xyz, i), point(s.xyz, j));
                if (bonded(r, s.iat(i), s.iat(j))) {
                    bonds.push_back({i, j, r});
                }
            }
        }
        std::sort(bonds.begin(), bonds.end(),
                  [](const Bond& p, const Bond& q) { return p.i != q.i ? p.i < q.i : p.j < q.j; });
        Lists want{std::vector<int>(std::size_t(s.nat + 1) * 19, 0),
                   {},
                   std::vector<double>(std::size_t(s.nat + 1) * 19, 0.0),
                   {},
                   ""};
        for (const Bond& b : bonds) {
            if (!addbondto(want, b.i, b.j, b.r) || !addbondto(want, b.j, b.i, b.r)) {
                break;
            }
        }
        testing::internal::CaptureStdout();
        std::string failure;
        try {
            make_iconn(s, false);
        } catch (const RunError& e) {
            failure = e.what();
        }
        ASSERT_EQ(testing::internal::GetCapturedStdout(), want.failure) << "cluster " << cluster;
        if (!want.failure.empty()) {
            continue;
        }
        ASSERT_EQ(cluster, -1.0) << "the cluster must overfill an atom";
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 0; k <= maxconn; ++k) {
                ASSERT_EQ(s.iconn(k, a), want.iconn[std::size_t(a) * 19 + std::size_t(k)])
                    << "atom " << a << " slot " << k;
            }
            for (int k = 1; k <= maxconn; ++k) {
                ASSERT_EQ(s.rconn(k, a), want.rconn[std::size_t(a) * 19 + std::size_t(k)]);
            }
        }
    }
}

} // namespace
