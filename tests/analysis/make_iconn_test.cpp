#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Atom {
    int z;
    double x, y, zc; // Angstrom
};

Store molecule(const std::vector<Atom>& atoms) {
    Store s;
    s.nat = int(atoms.size());
    allocstuff(s);
    for (int a = 1; a <= s.nat; ++a) {
        const Atom& t = atoms[std::size_t(a - 1)];
        s.iat(a) = t.z;
        s.xyz(1, a) = t.x / angstrom_per_bohr;
        s.xyz(2, a) = t.y / angstrom_per_bohr;
        s.xyz(3, a) = t.zc / angstrom_per_bohr;
    }
    return s;
}

std::vector<int> bondedlist(const Store& s, int a) {
    std::vector<int> list;
    for (int k = 1; k <= s.iconn(0, a); ++k) {
        list.push_back(s.iconn(k, a));
    }
    return list;
}

std::vector<int> nearlist(const Store& s, int a) {
    std::vector<int> list;
    for (int k = 1; k <= s.inear(0, a); ++k) {
        list.push_back(s.inear(k, a));
    }
    return list;
}

TEST(Bonded, RadiusSumTest) {
    struct Case {
        double angstrom;
        int z1, z2;
        bool expected;
    };
    const Case cases[] = {
        {1.54, 6, 6, true},    {2.08, 6, 6, true},  // bonded up to about 1.3567 times 1.54
        {2.10, 6, 6, false},   {0.5, 6, 94, false}, // the dummy atom never bonds
        {0.0, 94, 94, false},  {1.0, 6, 86, false}, // negative radius marker: never bonded
        {50.0, 87, 88, false}, {0.9, 6, 93, true},  // radius 0 counts as it stands
        {0.1, 93, 93, false},                       // zero radius sum
        {0.5, 0, 6, false},    {0.5, 6, -1, false},
        {0.5, 99, 6, false}, // outside the element table
        {1.0, 95, 97, true}, // second entries bond like H and C
    };
    for (const Case& t : cases) {
        EXPECT_EQ(bonded(t.angstrom / angstrom_per_bohr, t.z1, t.z2), t.expected)
            << t.angstrom << " " << t.z1 << " " << t.z2;
    }
}

TEST(MakeIconn, NearestFirstWithTiesInRecordingOrder) {
    // Carbon 3 with hydrogens 1, 2 and 5 at the same distance and 4 nearer.
    Store s = molecule({{1, 1.09, 0.0, 0.0},
                        {1, -1.09, 0.0, 0.0},
                        {6, 0.0, 0.0, 0.0},
                        {1, 0.0, 1.0, 0.0},
                        {1, 0.0, 0.0, 1.09}});
    make_iconn(s);
    EXPECT_EQ(bondedlist(s, 3), (std::vector<int>{4, 1, 2, 5}));
    EXPECT_EQ(s.rconn(1, 3), 1.0 / angstrom_per_bohr);
    EXPECT_EQ(s.rconn(2, 3), 1.09 / angstrom_per_bohr);
    EXPECT_EQ(s.rconn(5, 3), 0.0);
    EXPECT_EQ(s.iconn(5, 3), 0);
    EXPECT_EQ(bondedlist(s, 1), (std::vector<int>{3}));
    // Hydrogen 1: 4 at 1.48, 5 at 1.54, 2 at 2.18 Angstrom.
    EXPECT_EQ(nearlist(s, 1), (std::vector<int>{4, 5, 2}));
    EXPECT_EQ(s.rnear(3, 1), 2.18 / angstrom_per_bohr);
    EXPECT_EQ(s.rnear(4, 1), 1000000.0);
    EXPECT_EQ(s.inear(0, 3), 0);
    // Hydrogen 5 receives 1 and 2 at equal distance as pairs (5, 1), (5, 2), in that order.
    EXPECT_EQ(nearlist(s, 5), (std::vector<int>{4, 1, 2}));
}

TEST(MakeIconn, AtomsThatNeverBondStillHaveNeighbours) {
    Store s = molecule({{6, 0.0, 0.0, 0.0}, {94, 0.5, 0.0, 0.0}, {86, 0.0, 0.8, 0.0}});
    make_iconn(s);
    for (int a = 1; a <= 3; ++a) {
        EXPECT_EQ(s.iconn(0, a), 0) << a;
    }
    EXPECT_EQ(nearlist(s, 1), (std::vector<int>{2, 3}));
    EXPECT_EQ(nearlist(s, 2), (std::vector<int>{1, 3}));
    EXPECT_EQ(nearlist(s, 3), (std::vector<int>{1, 2}));
}

TEST(MakeIconn, SingleAtomAndRebuildFromScratch) {
    Store one = molecule({{8, 1.0, 2.0, 3.0}});
    make_iconn(one);
    EXPECT_EQ(one.iconn(0, 1), 0);
    EXPECT_EQ(one.inear(0, 1), 0);
    for (int k = 1; k <= maxnear; ++k) {
        EXPECT_EQ(one.rnear(k, 1), 1000000.0);
    }

    // A second call, as for the next frame of a trajectory, forgets the first geometry.
    Store s = molecule({{8, 0.0, 0.0, 0.0}, {1, 0.96, 0.0, 0.0}, {1, 0.0, 0.97, 0.0}});
    make_iconn(s);
    EXPECT_EQ(bondedlist(s, 1), (std::vector<int>{2, 3}));
    s.xyz(1, 2) = 0.9 / angstrom_per_bohr;
    s.xyz(2, 3) = 5.0 / angstrom_per_bohr;
    make_iconn(s);
    EXPECT_EQ(bondedlist(s, 1), (std::vector<int>{2}));
    EXPECT_EQ(s.rconn(1, 1), 0.9 / angstrom_per_bohr);
    EXPECT_EQ(s.iconn(2, 1), 0);
    EXPECT_EQ(s.rconn(2, 1), 0.0);
    EXPECT_EQ(nearlist(s, 1), (std::vector<int>{3}));
    EXPECT_EQ(nearlist(s, 3), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.rnear(2, 1), 1000000.0);
}

TEST(MakeIconn, KeepsTheTwentyNearestNonBonded) {
    // Dummy atoms 2..23 at 23 - k Angstrom from atom 1, recorded farthest first; atom 24 lies
    // beyond the 1000000 Bohr that mark an empty slot.
    std::vector<Atom> atoms{{94, 0.0, 0.0, 0.0}};
    for (int k = 2; k <= 23; ++k) {
        atoms.push_back({94, 0.0, 0.0, 23.0 - k});
    }
    atoms.back().zc = -0.5; // atom 23 at 0.5 Angstrom on the other side
    atoms.push_back({94, 600000.0, 0.0, 0.0});
    Store s = molecule(atoms);
    make_iconn(s);
    std::vector<int> expected{23};
    for (int k = 22; k >= 4; --k) {
        expected.push_back(k);
    }
    EXPECT_EQ(nearlist(s, 1), expected);
    EXPECT_EQ(s.rnear(20, 1), 19.0 / angstrom_per_bohr);
    EXPECT_EQ(s.inear(0, 24), 0);
}

TEST(MakeIconn, NineteenBondsEndTheRun) {
    // Neptunium has covalent radius 0: each bonds to the carbon, never to another neptunium.
    struct Case {
        bool carbonfirst;
        std::string out;
    };
    const Case cases[] = {
        {true, "Number of connections for atom   1 ( 19) larger than maximum  18\n"
               "   19   18   17   16   15   14   13   12   11   10    9    8    7    6    5"
               "    4    3    2   20\n"},
        {false, "Number of connections for atom  20 ( 19) larger than maximum  18\n"
                "   18   17   16   15   14   13   12   11   10    9    8    7    6    5    4"
                "    3    2    1   19\n"},
    };
    for (const Case& t : cases) {
        std::vector<Atom> atoms;
        for (int k = 0; k < 19; ++k) {
            atoms.push_back({93, 0.9 - 0.02 * k, 0.0, 0.0}); // later ones nearer
        }
        atoms.insert(t.carbonfirst ? atoms.begin() : atoms.end(), Atom{6, 0.0, 0.0, 0.0});
        Store s = molecule(atoms);
        testing::internal::CaptureStdout();
        try {
            make_iconn(s);
            ADD_FAILURE() << "no failure";
        } catch (const RunError& e) {
            EXPECT_STREQ(e.what(), "Unlikely number of connections found");
            EXPECT_EQ(e.routine, "arrange");
            EXPECT_FALSE(e.plain);
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), t.out);
    }
}

// Fifty thousand atoms at one point would give more than a billion bonded pairs; the run ends at
// the first atom with a 19th partner, as with a few, without collecting them all.
TEST(MakeIconn, AtomsAtOnePointFailAtTheFirstCrowdedAtom) {
    Store s = molecule(std::vector<Atom>(50000, Atom{6, 0.0, 0.0, 0.0}));
    testing::internal::CaptureStdout();
    EXPECT_THROW(make_iconn(s), RunError);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Number of connections for atom   1 ( 19) larger than maximum  18\n"
              "    2    3    4    5    6    7    8    9   10   11   12   13   14   15   16"
              "   17   18   19   20\n");
}

} // namespace
