#include "analysis/analysis.h"
#include "control/files.h"
#include "readers/readers.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <sstream>
#include <vector>

namespace {

TEST(Writepdb, HetatmRecordsInOutputOrderConectInStoreOrder) {
    Store s;
    testing_store::peroxide(s);
    s.atdescr(1) = "HYDROGEN1 ";
    s.moldescr(1) = "PEROXIDE  ";
    s.iatmol(1) = 12345;
    s.moldescr(2) = "HOO       ";
    s.iatmol(2) = 7;
    s.xyz(1, 2) = -999.999 / angstrom_per_bohr;
    s.xyz(2, 2) = 10000.0 / angstrom_per_bohr;
    s.iat(3) = 17;
    OutputFile out;
    writepdb(s, out);
    EXPECT_EQ(out.str(),
              "HETATM    2 A2   HOO     7    -999.999********   0.000  1.00  0.00          O \n"
              "HETATM    3 A3   MOL     0       0.000  -0.700   0.000  1.00  0.00          Cl\n"
              "HETATM    1 HYDR PER  ****       1.235   0.800   0.100  1.00  0.00          H \n"
              "HETATM    4 A4   MOL     0      -0.900  -0.800  -0.000  1.00  0.00          H \n"
              "CONECT    1    2\n"
              "CONECT    2    3    1\n"
              "CONECT    3    2    4\n"
              "CONECT    4    3\n");
}

// Atom 1 bonded to atoms 2..n+1 in a store of 19 atoms.
Store crowded(int n) {
    Store s;
    std::vector<testing_store::Atom> atoms(19, {6, 0.0, 0.0, 0.0, {}});
    atoms[0].partners.resize(std::size_t(n));
    std::iota(atoms[0].partners.begin(), atoms[0].partners.end(), 2);
    std::vector<int> order(19);
    std::iota(order.begin(), order.end(), 1);
    testing_store::build(s, atoms, order);
    return s;
}

TEST(Writepdb, ConectRecordsOfFourPartnersAtMostThree) {
    struct Case {
        int n;
        const char* records; // atom 1's records
    };
    const Case cases[] = {
        {0, "CONECT    1\n"},
        {1, "CONECT    1    2\n"},
        {4, "CONECT    1    2    3    4    5\n"},
        {5, "CONECT    1    2    3    4    5\n"
            "CONECT    1    6\n"},
        {8, "CONECT    1    2    3    4    5\n"
            "CONECT    1    6    7    8    9\n"},
        {9, "CONECT    1    2    3    4    5\n"
            "CONECT    1    6    7    8    9\n"
            "CONECT    1   10\n"},
        {12, "CONECT    1    2    3    4    5\n"
             "CONECT    1    6    7    8    9\n"
             "CONECT    1   10   11   12   13\n"},
        {18, "CONECT    1    2    3    4    5\n"
             "CONECT    1    6    7    8    9\n"
             "CONECT    1   10   11   12   13\n"},
    };
    for (const Case& c : cases) {
        Store s = crowded(c.n);
        OutputFile out;
        writepdb(s, out);
        const std::string& text = out.str();
        const std::size_t from = text.find("CONECT");
        EXPECT_EQ(text.substr(from, text.find("CONECT    2\n") - from), c.records) << c.n;
    }
}

// Hydrogen molecule whose geometry g has the bond length g Angstrom along x, with the model
// numbers and bond counts read back from what was written.
struct Models {
    std::vector<long long> numbers;
    std::vector<int> bonded; // per model: CONECT records of atom 1 holding a partner
};

Models models(const std::string& text) {
    Models m;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("MODEL ")) {
            m.numbers.push_back(std::stoll(line.substr(6)));
            m.bonded.push_back(0);
        } else if (line == "CONECT    1    2") {
            ++m.bonded.back();
        }
    }
    return m;
}

Store stretched(int ngeom) {
    Store s;
    s.ngeom = ngeom;
    testing_store::build(s, {{1, 0.0, 0.0, 0.0, {}}, {1, 0.0, 0.0, 0.0, {}}}, {2, 1});
    for (int g = 1; g <= ngeom; ++g) {
        // Geometry 1 is bonded (0.5 Angstrom), every later one is not.
        s.xgeo(1, 2, g) = (g == 1 ? 0.5 : double(g)) / angstrom_per_bohr;
    }
    return s;
}

TEST(Writemovpdb, RangeDirectionAndModelNumbers) {
    struct Case {
        long long first, last, idoftl, modelstart;
        std::vector<long long> numbers;
    };
    const Case cases[] = {
        {0, 0, 1, 0, {1, 2, 3}}, {0, 0, 0, 100, {103, 102, 101}},
        {2, 3, 1, 0, {2, 3}},    {2, 3, 0, 0, {2, 1}},
        {0, 1, 0, -1, {2}},      {5, 9, 1, 0, {3}},
        {3, 2, 1, 0, {}},        {-2, 2, 0, 0, {3, 2}},
    };
    for (const Case& c : cases) {
        Store s = stretched(3);
        s.idrange = {c.first, c.last};
        s.idoftl = c.idoftl;
        s.modelstart = c.modelstart;
        OutputFile out;
        writemovpdb(s, out);
        EXPECT_EQ(models(out.str()).numbers, c.numbers)
            << "RANGE " << c.first << " " << c.last << ", IDOFTL " << c.idoftl;
    }
}

TEST(Writemovpdb, EachModelHasItsOwnBondsAndTheLastStaysInTheStore) {
    Store s = stretched(3);
    s.idoftl = 0;
    OutputFile out;
    writemovpdb(s, out);
    const Models m = models(out.str());
    EXPECT_EQ(m.numbers, (std::vector<long long>{3, 2, 1}));
    EXPECT_EQ(m.bonded, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(s.xyz(1, 2), 0.5 / angstrom_per_bohr);
    EXPECT_EQ(s.iconn(0, 1), 1);
    EXPECT_EQ(s.iconn(1, 2), 1);

    s = stretched(3);
    OutputFile forward;
    writemovpdb(s, forward);
    EXPECT_EQ(models(forward.str()).bonded, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(s.xyz(1, 2), 3.0 / angstrom_per_bohr);
    EXPECT_EQ(s.iconn(0, 1), 0);
    EXPECT_EQ(s.inear(1, 1), 2);

    // One model, laid out in full.
    s = stretched(3);
    s.idrange = {2, 2};
    OutputFile one;
    writemovpdb(s, one);
    EXPECT_EQ(one.str(),
              "MODEL      2\n"
              "HETATM    2 A2   MOL     0       2.000   0.000   0.000  1.00  0.00          H \n"
              "HETATM    1 A1   MOL     0       0.000   0.000   0.000  1.00  0.00          H \n"
              "CONECT    1\n"
              "CONECT    2\n"
              "ENDMDL\n");
}

// The store keeps the complete connectivity of the last model written, non-bonded lists
// included, whatever the models before it held.
TEST(Writemovpdb, LastModelLeavesItsWholeConnectivity) {
    for (const long long idoftl : {1LL, 0LL}) {
        Store s;
        s.ngeom = 3;
        testing_store::build(s, {{8, 0, 0, 0, {}}, {1, 0, 0, 0, {}}, {1, 0, 0, 0, {}}}, {1, 2, 3});
        for (int g = 1; g <= 3; ++g) {
            for (int a = 1; a <= 3; ++a) {
                s.xgeo(1, a, g) = double(a * g) / angstrom_per_bohr; // spread more each time
                s.xgeo(2, a, g) = 0.3 * double(a) / angstrom_per_bohr;
            }
        }
        s.idoftl = idoftl;
        OutputFile out;
        writemovpdb(s, out);
        Store want = s;
        make_iconn(want);
        for (int a = 1; a <= 3; ++a) {
            for (int k = 0; k <= maxconn; ++k) {
                EXPECT_EQ(s.iconn(k, a), want.iconn(k, a));
            }
            for (int k = 0; k <= maxnear; ++k) {
                EXPECT_EQ(s.inear(k, a), want.inear(k, a));
            }
            for (int k = 1; k <= maxnear; ++k) {
                EXPECT_EQ(s.rnear(k, a), want.rnear(k, a));
            }
        }
        EXPECT_GT(s.inear(0, 1), 0);
    }
}

// What KRU writes, KRU reads back: the same atoms with their names, residues and residue
// numbers, coordinates to the three decimals written.
TEST(Writepdb, ReadsBackWhatItWrote) {
    Store s;
    testing_store::build(s,
                         {{6, 1.23456, -99.9994, 0.0, {}},
                          {20, -0.5, 0.25, 12.0, {}},
                          {17, 3.0, 4.0, 5.0, {}},
                          {1, 0.0, 0.0, -1.0004, {}},
                          {80, 7.0, 8.0, 9.0, {}},
                          {94, 0.0, 1.0, 0.0, {}}},
                         {3, 1, 2, 6, 5, 4});
    const char* names[] = {"CA", "CA", "CL", "HG1", "HG", "XX"};
    const char* residues[] = {"ALA", "LIG", "MOL", "THR", "HG", "DUM"};
    for (int a = 1; a <= s.nat; ++a) {
        s.atdescr(a) = fixedtext(names[a - 1], 10);
        s.moldescr(a) = fixedtext(residues[a - 1], 10);
        s.iatmol(a) = 10 * a + 1;
    }
    OutputFile out;
    writepdb(s, out);

    Store back;
    InputFile in(out.str());
    readpdb(back, in);
    ASSERT_EQ(back.nat, s.nat);
    for (int p = 1; p <= s.nat; ++p) {
        const int a = s.iorder(p, 2);
        EXPECT_EQ(back.iat(p), s.iat(a)) << p;
        EXPECT_EQ(back.atdescr(p), s.atdescr(a)) << p;
        EXPECT_EQ(back.moldescr(p), s.moldescr(a)) << p;
        EXPECT_EQ(back.iatmol(p), s.iatmol(a)) << p;
        for (int c = 1; c <= 3; ++c) {
            const double want = std::round(s.xyz(c, a) * angstrom_per_bohr * 1000.0) / 1000.0;
            EXPECT_NEAR(back.xyz(c, p) * angstrom_per_bohr, want, 1e-12) << p << " " << c;
        }
    }
}

} // namespace
