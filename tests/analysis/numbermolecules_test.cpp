#include "analysis/analysis.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The numbering done literally: nat sweeps over all atoms.
std::vector<int> literal(const Store& s) {
    std::vector<int> mol(std::size_t(s.nat) + 1);
    for (int a = 1; a <= s.nat; ++a) {
        mol[std::size_t(a)] = s.iatmol(a);
    }
    mol[1] = 1;
    int label = 1;
    long long previous = 1;
    for (int t = 1; t <= s.nat; ++t) {
        for (int a = 1; a <= s.nat; ++a) {
            if (mol[std::size_t(a)] == label) {
                for (int j = 1; j <= s.iconn(0, a); ++j) {
                    mol[std::size_t(s.iconn(j, a))] = label;
                }
            }
        }
        long long counted = 0;
        for (int a = 1; a <= s.nat; ++a) {
            counted += mol[std::size_t(a)] != 0 ? 1 : 0;
        }
        if (counted == previous) {
            ++label;
            for (int a = 1; a <= s.nat; ++a) {
                if (mol[std::size_t(a)] == 0) {
                    mol[std::size_t(a)] = label;
                    break;
                }
            }
        }
        previous = counted;
    }
    return mol;
}

// Random bonds (at most maxconn per atom) and, with some chance, numbers a reader stored.
Store randomstore(std::mt19937& rng) {
    Store s;
    s.nat = std::uniform_int_distribution<int>(1, 30)(rng);
    allocstuff(s);
    const int bonds = std::uniform_int_distribution<int>(0, 2 * s.nat)(rng);
    std::uniform_int_distribution<int> atom(1, s.nat);
    for (int k = 0; k < bonds; ++k) {
        const int a = atom(rng);
        const int b = atom(rng);
        if (a == b || s.iconn(0, a) == maxconn || s.iconn(0, b) == maxconn) {
            continue;
        }
        s.iconn(++s.iconn(0, a), a) = b;
        s.iconn(++s.iconn(0, b), b) = a;
    }
    if (rng() % 3 == 0) {
        for (int a = 1; a <= s.nat; ++a) {
            const unsigned kind = rng() % 4;
            s.iatmol(a) = kind == 0 ? 0 : kind == 1 ? atom(rng) : kind == 2 ? s.nat + 1 : 1207;
        }
    }
    return s;
}

TEST(NumberMolecules, SameAsTheLiteralSweeps) {
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 5000; ++trial) {
        Store s = randomstore(rng);
        const std::vector<int> want = literal(s);
        numbermolecules(s);
        for (int a = 1; a <= s.nat; ++a) {
            ASSERT_EQ(s.iatmol(a), want[std::size_t(a)]) << "trial " << trial << " atom " << a;
        }
    }
}

TEST(NumberMolecules, ChainNumberedBackwardsNeedsOneSweepPerLink) {
    // 1-5, 5-4, 4-3, 3-2: the label runs forward from 1 to 5 within the first sweep, then back
    // one link per sweep, reaching atom 2 in the third of the five sweeps.
    Store s;
    s.nat = 5;
    allocstuff(s);
    const int links[][2] = {{1, 5}, {5, 4}, {4, 3}, {3, 2}};
    for (const auto& l : links) {
        s.iconn(++s.iconn(0, l[0]), l[0]) = l[1];
        s.iconn(++s.iconn(0, l[1]), l[1]) = l[0];
    }
    numbermolecules(s);
    for (int a = 1; a <= 5; ++a) {
        EXPECT_EQ(s.iatmol(a), 1) << a;
    }
}

} // namespace
