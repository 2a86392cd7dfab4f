#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

// The QMMM_INFO lines of the script, without the surrounding block lines.
std::string infolines(const std::string& text) {
    const std::string head = "  QMMM_INFO\n";
    const std::size_t begin = text.find(head) + head.size();
    return text.substr(begin, text.find("  SUBEND\n", begin) - begin);
}

// Charges come only from the DRF readers; here they are set by hand. Groups are cut to 6
// characters, labels to 4, and the atoms keep their store numbers in output order.
TEST(Writeqmmm, ChargesGroupsAndLabels) {
    Store s;
    testing_store::peroxide(s);
    s.chrg(1) = 0.4175;
    s.chrg(2) = -0.41749951;
    s.chrg(3) = -12345.5; // one column too wide
    s.chrg(4) = 12345.6789;
    s.moldescr(2) = "PEROXIDE  ";
    s.moldescr(3) = "HOOH      ";
    s.atdescr(2) = "OXYGEN1   ";
    s.iatmol(2) = s.iatmol(3) = 3;
    s.iatmol(4) = -12;
    OutputFile out;
    writeqmmm(s, out);
    EXPECT_EQ(infolines(out.str()),
              "        2  myO   MM     -0.417500  PEROXI       3  OXYG     3     1\n"
              "        3  myO   MM  ************  HOOH         3  A3       2     4\n"
              "        1  myH   MM      0.417500  MOL          0  A1       2\n"
              "        4  myH   MM  12345.678900  MOL        -12  A4       3\n");
}

// Store of n+1 carbon atoms with atom 1 bonded to all the others.
Store star(int n) {
    Store s;
    std::vector<testing_store::Atom> atoms(std::size_t(n + 1), {6, 0.0, 0.0, 0.0, {}});
    atoms[0].partners.resize(std::size_t(n));
    std::iota(atoms[0].partners.begin(), atoms[0].partners.end(), 2);
    std::vector<int> order(std::size_t(n + 1));
    std::iota(order.begin(), order.end(), 1);
    testing_store::build(s, atoms, order);
    return s;
}

// Ten partners fill one line; the eleventh starts a line that is blank up to the partner
// columns.
TEST(Writeqmmm, PartnersBeyondTenContinueBelowThePartnerColumns) {
    const std::string atom1 = "        1  myC   MM      0.000000  MOL          0  A1  ";
    const std::string ten = "     2     3     4     5     6     7     8     9    10    11";
    const std::string under(atom1.size(), ' ');
    const std::pair<int, std::string> cases[] = {
        {9, atom1 + "     2     3     4     5     6     7     8     9    10\n"},
        {10, atom1 + ten + "\n"},
        {11, atom1 + ten + "\n" + under + "    12\n"},
        {18, atom1 + ten + "\n" + under + "    12    13    14    15    16    17    18    19\n"},
    };
    for (const auto& [n, lines] : cases) {
        Store s = star(n);
        OutputFile out;
        writeqmmm(s, out);
        const std::string info = infolines(out.str());
        EXPECT_EQ(info.substr(0, info.find("        2  myC")), lines) << n << " partners";
    }
}

} // namespace
