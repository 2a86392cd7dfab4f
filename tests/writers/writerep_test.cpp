#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

std::vector<std::string> startingwith(const std::string& text, const std::string& head) {
    std::vector<std::string> result;
    for (const std::string& line : lines(text)) {
        if (line.starts_with(head)) {
            result.push_back(line);
        }
    }
    return result;
}

// Carbon atom 1 with n bonded and m non-bonded hydrogens among 38 atoms, partner k at k Angstrom.
Store crowded(int n, int m) {
    Store s;
    std::vector<testing_store::Atom> atoms(39, {1, 0.0, 0.0, 0.0, {}});
    atoms[0].iat = 6;
    atoms[0].partners.resize(std::size_t(n));
    std::iota(atoms[0].partners.begin(), atoms[0].partners.end(), 2);
    std::vector<int> order(39);
    std::iota(order.begin(), order.end(), 1);
    testing_store::build(s, atoms, order);
    for (int k = 1; k <= n; ++k) {
        s.rconn(k, 1) = k / angstrom_per_bohr;
    }
    s.inear(0, 1) = m;
    for (int k = 1; k <= m; ++k) {
        s.inear(k, 1) = 20 + k;
        s.rnear(k, 1) = k / angstrom_per_bohr;
    }
    return s;
}

struct SplitCase {
    int n, m;
    std::size_t connlines, nearlines;
    std::string lastconn, lastnear; // the last line of each kind, after its prefix
};

TEST(Writerep, FiveNeighboursToALineAndNoMoreThanFifteenNearOnes) {
    const std::string c1to5 =
        "  H    2   1.00000  H    3   2.00000  H    4   3.00000  H    5   4.00000"
        "  H    6   5.00000";
    const std::string n1to5 =
        "  H   21   1.00000  H   22   2.00000  H   23   3.00000  H   24   4.00000"
        "  H   25   5.00000";
    const SplitCase cases[] = {
        {0, 0, 1, 1, "", ""},
        {5, 5, 1, 1, c1to5, n1to5},
        {6, 6, 2, 2, "  H    7   6.00000", "  H   26   6.00000"},
        {18, 10, 4, 2, "  H   17  16.00000  H   18  17.00000  H   19  18.00000",
         "  H   26   6.00000  H   27   7.00000  H   28   8.00000  H   29   9.00000"
         "  H   30  10.00000"},
        {1, 11, 1, 3, "  H    2   1.00000", "  H   31  11.00000"},
        {0, 20, 1, 3, "",
         "  H   31  11.00000  H   32  12.00000  H   33  13.00000  H   34  14.00000"
         "  H   35  15.00000"},
    };
    for (const SplitCase& c : cases) {
        Store s = crowded(c.n, c.m);
        OutputFile out;
        writerep(s, out);
        const auto conn = startingwith(out.str(), "conn C  1    : ");
        const auto near = startingwith(out.str(), "near C  1    : ");
        ASSERT_EQ(conn.size(), c.connlines) << c.n;
        ASSERT_EQ(near.size(), c.nearlines) << c.m;
        EXPECT_EQ(conn.back(), "conn C  1    : " + c.lastconn) << c.n;
        EXPECT_EQ(near.back(), "near C  1    : " + c.lastnear) << c.m;
    }
}

// Atom numbers beyond the prefix's four-character slot show as asterisks there, and in the
// four-wide partner field; the five-wide angle fields still hold them.
TEST(Writerep, FiveDigitAtomNumbers) {
    Store s;
    std::vector<testing_store::Atom> atoms(10000, {1, 0.0, 0.0, 0.0, {}});
    atoms[9998] = {8, 0.0, 0.0, 0.0, {10000, 9998}};
    atoms[9999] = {1, 1.0, 0.0, 0.0, {9999}};
    atoms[9997] = {1, 0.0, 1.0, 0.0, {9999}};
    std::vector<int> order(10000);
    std::iota(order.begin(), order.end(), 1);
    testing_store::build(s, atoms, order);
    s.rconn(1, 9999) = 1.0 / angstrom_per_bohr;
    s.rconn(2, 9999) = 1.0 / angstrom_per_bohr;
    OutputFile out;
    writerep(s, out);
    EXPECT_EQ(startingwith(out.str(), "conn O  9999 : "),
              std::vector<std::string>{"conn O  9999 :   H ****   1.00000  H 9998   1.00000"});
    EXPECT_EQ(startingwith(out.str(), "conn H  **** : "),
              std::vector<std::string>{"conn H  **** :   O 9999   0.00000"});
    EXPECT_EQ(startingwith(out.str(), "ANG "),
              std::vector<std::string>{"ANG H   9998  O   9999  H  10000    90.00000"});
}

// Atoms outside the element table (left by a reader that stopped early) weigh nothing and
// print as dummy atoms.
TEST(Writerep, AtomsWithoutAnElementAddNoMass) {
    Store s;
    testing_store::build(s, {{8, 0.0, 0.0, 0.0, {}}, {0, 5.0, 0.0, 0.0, {}}}, {2, 1});
    s.idatdef[8] = 1;
    OutputFile out;
    writerep(s, out);
    const auto all = lines(out.str());
    ASSERT_GE(all.size(), 7u);
    EXPECT_EQ(all[1], "Total system: O1");
    EXPECT_EQ(all[2], "Total mass  : 15.999400                              ");
    EXPECT_EQ(all[6], "conn XX 2    : ");
}

} // namespace
