#include "analysis/analysis.h"
#include "control/control.h"
#include "control/fixedwidth.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

struct Atom {
    int z;
    double x, y, z_;
};

// A store holding the atoms (Angstrom) as a reader leaves it.
Store molecule(const std::vector<Atom>& atoms) {
    Store s;
    s.nat = int(atoms.size());
    allocstuff(s);
    for (int a = 1; a <= s.nat; ++a) {
        const Atom& at = atoms[std::size_t(a - 1)];
        s.iat(a) = at.z;
        s.xyz(1, a) = at.x / angstrom_per_bohr;
        s.xyz(2, a) = at.y / angstrom_per_bohr;
        s.xyz(3, a) = at.z_ / angstrom_per_bohr;
    }
    return s;
}

std::vector<int> order(const Store& s) {
    std::vector<int> o;
    for (int p = 1; p <= s.nat; ++p) {
        o.push_back(s.iorder(p, 2));
        EXPECT_EQ(s.iorder(s.iorder(p, 2), 1), p);
    }
    return o;
}

std::vector<int> molecules(const Store& s) {
    std::vector<int> m;
    for (int a = 1; a <= s.nat; ++a) {
        m.push_back(s.iatmol(a));
    }
    return m;
}

const std::vector<Atom> water = {
    {8, 0.0, 0.0, 0.1173}, {1, 0.0, 0.7572, -0.4692}, {1, 0.0, -0.7572, -0.4692}};

TEST(Arrange, IdentityOrderLabelsAndGeometry) {
    std::vector<Atom> two = water;
    for (const Atom& a : water) {
        two.push_back({a.z, a.x + 10.0, a.y, a.z_});
    }
    Store s = molecule(two);
    s.atdescr(2) = fixedtext("HW", 10);
    arrange(s);
    EXPECT_EQ(order(s), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(molecules(s), (std::vector<int>{1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(s.atdescr(1), "O         ");
    EXPECT_EQ(s.atdescr(2), "HW        ");
    EXPECT_EQ(s.idatdef[1], 4);
    EXPECT_EQ(s.idatdef[8], 2);
    EXPECT_EQ(s.ngeom, 1);
    EXPECT_EQ(s.xgeo(2, 5, 1), s.xyz(2, 5));
}

TEST(Arrange, ChemicalOrderWater) {
    Store s = molecule(water);
    s.reorder = true;
    arrange(s);
    EXPECT_EQ(order(s), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(molecules(s), (std::vector<int>{1, 0, 0}));
}

TEST(Arrange, ChemicalOrderMethaneWaterDimer) {
    const double t = 0.63;
    Store s = molecule({{1, 0.96, 0.0, 0.0},
                        {1, -0.24, 0.94, 0.0},
                        {8, 0.0, 0.0, 0.0},
                        {6, 0.0, 0.0, 3.5},
                        {1, t, t, 3.5 + t},
                        {1, -t, -t, 3.5 + t},
                        {1, t, -t, 3.5 - t},
                        {1, -t, t, 3.5 - t}});
    s.reorder = true;
    arrange(s);
    const std::vector<int> o = order(s);
    EXPECT_EQ(std::vector<int>(o.begin(), o.begin() + 4), (std::vector<int>{3, 1, 2, 4}));
    EXPECT_EQ(molecules(s), (std::vector<int>{0, 0, 1, 1, 0, 0, 0, 0}));
}

TEST(Arrange, ZmatrixTableOfHydrogenPeroxide) {
    Store s = molecule(
        {{1, -0.3, 0.92, 0.0}, {8, 0.0, 0.0, 0.0}, {8, 1.45, 0.0, 0.0}, {1, 1.75, 0.3, 0.88}});
    arrange(s);
    auto refs = [&](int a) {
        return std::vector<int>{s.kmatrx(1, a), s.kmatrx(2, a), s.kmatrx(3, a)};
    };
    EXPECT_EQ(refs(1), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(refs(2), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(refs(3), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(refs(4), (std::vector<int>{3, 2, 1}));
    const Vec3 h1 = point(s.xyz, 1), o2 = point(s.xyz, 2), o3 = point(s.xyz, 3),
               h4 = point(s.xyz, 4);
    EXPECT_EQ(s.zmat(1, 4), bond(h4, o3));
    EXPECT_EQ(s.zmat(2, 4), angle(h4, o3, o2));
    EXPECT_EQ(s.zmat(3, 4), dihedral(h4, o3, o2, h1));
    EXPECT_EQ(s.zmat(2, 2), 0.0);
}

TEST(Arrange, DihedralPartnerFallsBackToNearestEarlierAtom) {
    // Atom 4 (H) hangs on atom 1; atom 1's only other neighbour is atom 2, whose neighbours are
    // atom 1 only, so the dihedral partner is the nearest earlier atom other than 1 and 2.
    Store s = molecule(
        {{6, 0.0, 0.0, 0.0}, {8, 1.2, 0.0, 0.0}, {17, -1.0, 3.0, 0.0}, {1, -0.5, -0.9, 0.0}});
    arrange(s);
    EXPECT_EQ(s.kmatrx(1, 4), 1);
    EXPECT_EQ(s.kmatrx(2, 4), 2);
    EXPECT_EQ(s.kmatrx(3, 4), 3);
}

// Everything but the Z-matrix, which only the Z-matrix writers read.
std::vector<double> arrangedtables(const Store& s) {
    std::vector<double> t;
    for (int a = 1; a <= s.nat; ++a) {
        for (int j = 0; j <= s.iconn(0, a); ++j) {
            t.push_back(s.iconn(j, a));
        }
        for (int j = 0; j <= s.inear(0, a); ++j) {
            t.push_back(s.inear(j, a));
        }
        t.insert(t.end(), {double(s.iorder(a, 1)), double(s.iorder(a, 2)), double(s.iatmol(a)),
                           s.t4gen(a), s.xyz(1, a), s.xyz(2, a), s.xyz(3, a)});
    }
    return t;
}

TEST(Arrange, OnlyZmatrixWritersGetTheZmatrixAndNothingElseDiffers) {
    std::mt19937 random(21);
    std::uniform_int_distribution<int> element(1, 17);
    for (int trial = 0; trial < 40; ++trial) {
        std::vector<Atom> atoms;
        const int n = 4 + trial * 3;
        // Dense enough for bonds and molecules of several atoms.
        std::uniform_real_distribution<double> box(0.0, std::cbrt(n / 0.08));
        for (int a = 0; a < n; ++a) {
            atoms.push_back({element(random), box(random), box(random), box(random)});
        }
        for (const bool reorder : {false, true}) {
            SCOPED_TRACE(testing::Message() << "trial " << trial << " reorder " << reorder);
            std::vector<double> full;
            for (const char* type : {"ZMAT", "PDB", "XYZ", "MOVPDB"}) {
                Store s = molecule(atoms);
                s.reorder = reorder;
                s.outputtype = type;
                arrange(s);
                if (full.empty()) {
                    full = arrangedtables(s);
                    EXPECT_NE(s.kmatrx(1, s.iorder(2, 2)), 0);
                    continue;
                }
                EXPECT_EQ(arrangedtables(s), full) << type;
                for (int a = 1; a <= s.nat; ++a) {
                    EXPECT_EQ(s.kmatrx(1, a), 0) << type;
                }
            }
        }
    }
}

TEST(Arrange, FarAtomStopsOnlyAZmatrix) {
    // No earlier atom lies within reach of the fourth one's reference search.
    const std::vector<Atom> atoms = {
        {6, 0.0, 0.0, 0.0}, {1, 1.09, 0.0, 0.0}, {1, -0.4, 1.0, 0.0}, {1, 900.0, 0.0, 0.0}};
    Store s = molecule(atoms);
    s.outputtype = "ZMAT";
    EXPECT_THROW(arrange(s), RunError);
    s = molecule(atoms);
    s.outputtype = "PDB";
    EXPECT_NO_THROW(arrange(s));
}

TEST(Arrange, FourCoordinationIndex) {
    const double t = 0.63;
    Store s = molecule({{6, 0.0, 0.0, 0.0},
                        {1, t, t, t},
                        {1, -t, -t, t},
                        {1, t, -t, -t},
                        {1, -t, t, -t},
                        {78, 10.0, 0.0, 0.0},
                        {17, 12.3, 0.0, 0.0},
                        {17, 7.7, 0.0, 0.0},
                        {17, 10.0, 2.3, 0.0},
                        {17, 10.0, -2.3, 0.0}});
    arrange(s);
    EXPECT_NEAR(s.t4gen(1), (360.0 - 2 * 109.4712206) / 141.0, 1e-8);
    EXPECT_NEAR(s.t4gen(6), 0.0, 1e-12);
    EXPECT_EQ(s.t4gen(2), 0.0);
}

TEST(Arrange, ReorientMovesAllGeometries) {
    Store s = molecule(water);
    s.reorient = true;
    s.idorient = {1, 2, 3};
    arrange(s);
    for (auto get : {+[](Store&st, int k, int a) { return st.xyz(k, a); },
                     +[](Store&st, int k, int a) { return st.xgeo(k, a, 1); }}) {
        EXPECT_EQ(get(s, 1, 1), 0.0);
        EXPECT_EQ(get(s, 3, 1), 0.0);
        EXPECT_NEAR(get(s, 1, 2), 0.0, 1e-12);
        EXPECT_NEAR(get(s, 2, 2), 0.0, 1e-12);
        EXPECT_GT(get(s, 3, 2), 0.0);
        EXPECT_NEAR(get(s, 2, 3), 0.0, 1e-12);
        EXPECT_GT(get(s, 1, 3), 0.0);
    }
    EXPECT_NEAR(s.zmat(1, 2), bond(point(s.xyz, 1), point(s.xyz, 2)), 1e-12);
}

TEST(Arrange, ReorientOnAMissingAtomChangesNothing) {
    Store s = molecule(water);
    s.reorient = true;
    s.idorient = {1, 2, 4};
    const double before = s.xyz(2, 2);
    arrange(s);
    EXPECT_EQ(s.xyz(2, 2), before);
}

class OrderFile : public testing::Test {
  protected:
    void SetUp() override {
        path_ = std::filesystem::temp_directory_path() /
                ("kru_order_" +
                 std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    void TearDown() override { std::filesystem::remove(path_); }
    // Arranges water with the given order file; returns the failure message, if any.
    std::string arrangewith(const std::string& text, Store& s) {
        std::ofstream(path_) << text;
        s.inporder = true;
        s.inporderfile = path_.string();
        try {
            arrange(s);
        } catch (const RunError& e) {
            EXPECT_EQ(e.routine, "arrange");
            return e.what();
        }
        return "";
    }
    std::filesystem::path path_;
};

TEST_F(OrderFile, GivesTheOrder) {
    Store s = molecule(water);
    EXPECT_EQ(arrangewith("2\n3 extra\n1\n", s), "");
    EXPECT_EQ(order(s), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(molecules(s), (std::vector<int>{1, 1, 1}));
}

TEST_F(OrderFile, MustBeAPermutation) {
    for (const char* bad : {"2\n3\n", "2\n2\n1\n", "2\n4\n1\n", "2\nx\n1\n", "0\n1\n2\n"}) {
        Store s = molecule(water);
        EXPECT_EQ(arrangewith(bad, s), "Error reading inporder file") << bad;
    }
    Store s = molecule(water);
    s.inporder = true;
    s.inporderfile = "no/such/order/file";
    EXPECT_THROW(arrange(s), RunError);
}

TEST(Arrange, ConnectionListingOnlyWithAGivenKmatrix) {
    Store s = molecule(water);
    s.verbose = true;
    testing::internal::CaptureStdout();
    arrange(s);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    s = molecule(water);
    s.verbose = true;
    s.newkmatrix = true;
    s.kmatrx(1, 2) = 1;
    s.kmatrx(1, 3) = 1;
    s.kmatrx(2, 3) = 2;
    testing::internal::CaptureStdout();
    arrange(s);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Connection Matrix\n"
              " Id  Iat   Iorder         K-matrix          Connections\n"
              "  1    8     1   1         0   0   0           0.000   0.000   0.000        2     "
              "    2    3\n"
              "  2    1     2   2         1   0   0           0.958   0.000   0.000        1     "
              "    1\n"
              "  3    1     3   3         1   2   0           0.958 104.480   0.000        1     "
              "    1\n");
}

TEST(Arrange, ConnectionListingContinuesAfterTenNeighbours) {
    // Twelve neptunium atoms (covalent radius 0) bond to the carbon but never to each other.
    std::vector<Atom> atoms{{6, 0.0, 0.0, 0.0}};
    const double g = (1.0 + std::sqrt(5.0)) / 2.0;
    const double scale = 1.0 / std::sqrt(1.0 + g * g);
    for (double u : {-1.0, 1.0}) {
        for (double v : {-g, g}) {
            atoms.push_back({93, 0.0, u * scale, v * scale});
            atoms.push_back({93, u * scale, v * scale, 0.0});
            atoms.push_back({93, v * scale, 0.0, u * scale});
        }
    }
    Store s = molecule(atoms);
    s.verbose = true;
    s.newkmatrix = true;
    testing::internal::CaptureStdout();
    arrange(s);
    const std::string listing = testing::internal::GetCapturedStdout();
    ASSERT_EQ(s.iconn(0, 1), 12);
    const std::string first = listing.substr(listing.find("\n  1 ") + 1, 133);
    EXPECT_EQ(first.substr(0, 82), "  1    6     1   1         0   0   0           0.000   0.000   "
                                   "0.000       12     ");
    const std::size_t next = listing.find('\n', listing.find("\n  1 ") + 1) + 1;
    // The eleventh and twelfth neighbours continue under the first line's neighbour columns.
    const std::string continuation =
        std::string(82, ' ') + fw::I(s.iconn(11, 1), 5) + fw::I(s.iconn(12, 1), 5);
    EXPECT_EQ(listing.substr(next, continuation.size() + 1), continuation + "\n");
}

} // namespace
