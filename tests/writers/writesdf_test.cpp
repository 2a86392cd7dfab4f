#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <utility>

namespace {

using testing_store::Atom;

// Bond orders by pair of store atoms.
std::map<std::pair<int, int>, int> orders(const Store& s) {
    std::map<std::pair<int, int>, int> got;
    for (const Bond& b : bondorders(s)) {
        got[{b.a, b.b}] = b.order;
    }
    return got;
}

// Each atom's bonds weighted by order.
std::vector<int> valences(const Store& s) {
    std::vector<int> v(std::size_t(s.nat) + 1, 0);
    for (const Bond& b : bondorders(s)) {
        v[std::size_t(b.a)] += b.order;
        v[std::size_t(b.b)] += b.order;
    }
    return v;
}

std::vector<int> inorder(int n) {
    std::vector<int> order;
    for (int a = 1; a <= n; ++a) {
        order.push_back(a);
    }
    return order;
}

// A hydrocarbon: carbon i (store atom i) with its carbon partners and its number of hydrogens,
// which follow the carbons.
void hydrocarbon(Store& s, const std::vector<std::pair<std::vector<int>, int>>& carbons) {
    std::vector<Atom> atoms;
    std::vector<Atom> hydrogens;
    const int n = int(carbons.size());
    for (int c = 1; c <= n; ++c) {
        const auto& [partners, count] = carbons[std::size_t(c - 1)];
        atoms.push_back({6, 0, 0, 0, partners});
        for (int h = 0; h < count; ++h) {
            atoms.back().partners.push_back(n + int(hydrogens.size()) + 1);
            hydrogens.push_back({1, 0, 0, 0, {c}});
        }
    }
    atoms.insert(atoms.end(), hydrogens.begin(), hydrogens.end());
    testing_store::build(s, atoms, inorder(int(atoms.size())));
}

TEST(Bondorders, RingsChainsAndMultipleBondsReachTheUsualValence) {
    // Benzene: C1..C6 in a ring, one hydrogen each.
    Store benzene;
    hydrocarbon(benzene,
                {{{6, 2}, 1}, {{1, 3}, 1}, {{2, 4}, 1}, {{3, 5}, 1}, {{4, 6}, 1}, {{5, 1}, 1}});
    const std::vector<int> v = valences(benzene);
    int doubles = 0;
    for (const auto& [pair, order] : orders(benzene)) {
        doubles += order == 2 ? 1 : 0;
    }
    EXPECT_EQ(doubles, 3);
    for (int a = 1; a <= 12; ++a) {
        EXPECT_EQ(v[std::size_t(a)], a <= 6 ? 4 : 1) << a;
    }

    // Butadiene A=B-C=D numbered B=1 C=2 A=3 D=4, so that a first-come pairing takes the middle
    // bond B-C and strands A and D; only A=B and C=D complete every carbon.
    Store diene;
    hydrocarbon(diene, {{{2, 3}, 1}, {{1, 4}, 1}, {{1}, 2}, {{2}, 2}});
    const std::map<std::pair<int, int>, int> d = orders(diene);
    EXPECT_EQ(d.at({1, 2}), 1);
    EXPECT_EQ(d.at({1, 3}), 2);
    EXPECT_EQ(d.at({2, 4}), 2);

    // Fulvene: the odd five-ring C1..C5 with the exocyclic C6H2 on C1. A first-come pairing
    // takes C1=C2 and C3=C4 and strands C5 and C6; the path back runs round the odd ring.
    Store fulvene;
    hydrocarbon(fulvene,
                {{{2, 5, 6}, 0}, {{1, 3}, 1}, {{2, 4}, 1}, {{3, 5}, 1}, {{4, 1}, 1}, {{1}, 2}});
    const std::vector<int> fv = valences(fulvene);
    for (int a = 1; a <= 6; ++a) {
        EXPECT_EQ(fv[std::size_t(a)], 4) << a;
    }
    EXPECT_EQ(orders(fulvene).at({1, 6}), 2);

    // Acetylene H1-C2-C3-H4 and carbon dioxide O1=C2=O3.
    Store acetylene;
    testing_store::build(
        acetylene,
        {{1, 0, 0, 0, {2}}, {6, 0, 0, 0, {1, 3}}, {6, 0, 0, 0, {2, 4}}, {1, 0, 0, 0, {3}}},
        inorder(4));
    EXPECT_EQ(orders(acetylene).at({2, 3}), 3);
    Store co2;
    testing_store::build(co2, {{8, 0, 0, 0, {2}}, {6, 0, 0, 0, {1, 3}}, {8, 0, 0, 0, {2}}},
                         inorder(3));
    EXPECT_EQ(orders(co2), (std::map<std::pair<int, int>, int>{{{1, 2}, 2}, {{2, 3}, 2}}));

    // Ammonium's nitrogen has more partners than its usual valence, and chlorine none: single.
    Store ammonium;
    testing_store::build(ammonium,
                         {{7, 0, 0, 0, {2, 3, 4, 5}},
                          {1, 0, 0, 0, {1}},
                          {1, 0, 0, 0, {1}},
                          {1, 0, 0, 0, {1}},
                          {17, 0, 0, 0, {1}}},
                         inorder(5));
    for (const auto& [pair, order] : orders(ammonium)) {
        EXPECT_EQ(order, 1);
    }
}

// Formaldehyde C1 O2 H3 H4 as every geometry of a sequence of ngeom, written in the order O2 C1
// H3 H4.
void formaldehyde(Store& s, int ngeom = 1) {
    s.ngeom = ngeom;
    testing_store::build(s,
                         {{6, 0.0, 0.0, 0.0, {}},
                          {8, 0.0, 0.0, 1.21, {}},
                          {1, 0.0, 0.94, -0.54, {}},
                          {1, 0.0, -0.94, -0.54, {}}},
                         {2, 1, 3, 4});
    for (int g = 1; g <= ngeom; ++g) {
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.xgeo(k, a, g) = s.xyz(k, a);
            }
        }
        s.egeo(g) = -114.5;
    }
    s.inputfile = "h2co.log";
}

TEST(Writesdf, MolfileWithBondOrdersValencesAndTheEnergy) {
    Store s;
    formaldehyde(s);
    OutputFile out;
    writesdf(s, out);
    EXPECT_EQ(out.str(), "h2co.log\n"
                         "  KRU               3D\n"
                         "geometry 1 of 1\n"
                         "  4  3  0  0  0  0  0  0  0  0999 V2000\n"
                         "    0.0000    0.0000    1.2100 O   0  0  0  0  0  2  0  0  0  0  0  0\n"
                         "    0.0000    0.0000    0.0000 C   0  0  0  0  0  4  0  0  0  0  0  0\n"
                         "    0.0000    0.9400   -0.5400 H   0  0  0  0  0  1  0  0  0  0  0  0\n"
                         "    0.0000   -0.9400   -0.5400 H   0  0  0  0  0  1  0  0  0  0  0  0\n"
                         "  2  3  1  0\n" // the store's atom C1 first, its partners nearest first
                         "  2  4  1  0\n"
                         "  2  1  2  0\n"
                         "M  END\n"
                         "> <ENERGY_HARTREE>\n"
                         "-114.5000000000\n"
                         "\n"
                         "$$$$\n");
}

TEST(Writesdf, EachGeometryItsOwnBondsAndTheFinalStructureStays) {
    // Geometry 2 pulls the oxygen away: no C=O bond there; geometry 1 is the final structure.
    Store two;
    formaldehyde(two, 2);
    two.xgeo(3, 2, 2) = 5.0 / angstrom_per_bohr;
    two.idoftl = 0; // last to first
    OutputFile out;
    writesdf(two, out);
    const std::string text = out.str();
    EXPECT_EQ(text.find("geometry 2 of 2\n  4  2"), text.find("geometry"));
    EXPECT_NE(text.find("geometry 1 of 2\n  4  3"), std::string::npos);
    // The oxygen without a partner has valence field 15, none.
    EXPECT_NE(text.find("    5.0000 O   0  0  0  0  0 15"), std::string::npos);
    EXPECT_EQ(two.xyz(3, 2), 1.21 / angstrom_per_bohr);
    EXPECT_EQ(two.iconn(0, 2), 1);
}

TEST(Writesdf, PastNineHundredNinetyNineAtomsTheExtendedTable) {
    // 500 hydrogen molecules 3 Angstrom apart.
    Store s;
    s.ngeom = 1;
    std::vector<Atom> atoms;
    for (int m = 0; m < 500; ++m) {
        atoms.push_back({1, 3.0 * m, 0.0, 0.0, {}});
        atoms.push_back({1, 3.0 * m + 0.74, 0.0, 0.0, {}});
    }
    testing_store::build(s, atoms, inorder(1000));
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            s.xgeo(k, a, 1) = s.xyz(k, a);
        }
    }
    OutputFile out;
    writesdf(s, out);
    const std::string text = out.str();
    EXPECT_NE(text.find("\n  0  0  0     0  0            999 V3000\n"
                        "M  V30 BEGIN CTAB\n"
                        "M  V30 COUNTS 1000 500 0 0 0\n"
                        "M  V30 BEGIN ATOM\n"
                        "M  V30 1 H 0.0000 0.0000 0.0000 0 VAL=1\n"
                        "M  V30 2 H 0.7400 0.0000 0.0000 0 VAL=1\n"),
              std::string::npos);
    EXPECT_NE(text.find("M  V30 END ATOM\nM  V30 BEGIN BOND\nM  V30 1 1 1 2\n"), std::string::npos);
    EXPECT_NE(text.find("M  V30 500 1 999 1000\nM  V30 END BOND\nM  V30 END CTAB\nM  END\n"),
              std::string::npos);
}

TEST(Writeextxyz, EveryFrameWithItsEnergyInElectronvolts) {
    Store s;
    formaldehyde(s);
    OutputFile out;
    writeextxyz(s, out);
    EXPECT_EQ(out.str(), "4\n"
                         "Properties=species:S:1:pos:R:3 energy=-3115.70369979 pbc=\"F F F\"\n"
                         "O         0.00000000        0.00000000        1.21000000\n"
                         "C         0.00000000        0.00000000        0.00000000\n"
                         "H         0.00000000        0.94000000       -0.54000000\n"
                         "H         0.00000000       -0.94000000       -0.54000000\n");
}

} // namespace
