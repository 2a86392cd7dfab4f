#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

namespace {

TEST(Writeangs, WritesLabelsInOutputOrder) {
    Store s;
    testing_store::peroxide(s);
    OutputFile out;
    writeangs(s, out);
    EXPECT_EQ(out.str(), "A2              0.00000000    0.70000000    0.00000000\n"
                         "A3              0.00000000   -0.70000000    0.00000000\n"
                         "A1              1.23456750    0.80000000    0.10000000\n"
                         "A4             -0.90000000   -0.80000000   -0.00000040\n");
}

struct LabelCase {
    int idesp;
    int iat;
    const char* atdescr;
    const char* label; // nullptr: the atom is not written
};

TEST(Writeangs, LabelFollowsIdespAndAtdescr) {
    const LabelCase cases[] = {
        {0, 6, "C12", "C12       "}, {0, 6, "", "        C "},
        {1, 6, "C12", "J.C12     "}, {1, 17, "", "      J.Cl"},
        {2, 6, "C12", "Gh.C12    "}, {2, 6, "ABCDEFGHIJ", "Gh.ABCDEFG"},
        {2, 6, "", "     Gh.C "},    {3, 6, "C12", nullptr},
        {-1, 6, "C12", nullptr},
    };
    for (const LabelCase& c : cases) {
        Store s;
        testing_store::build(s, {{c.iat, 1.0, -2.0, 1000.0, {}}}, {1});
        s.idesp(1) = c.idesp;
        s.atdescr(1) = fixedtext(c.atdescr, 10);
        OutputFile out;
        writeangs(s, out);
        const std::string want =
            c.label == nullptr
                ? ""
                : std::string(c.label) + "      1.00000000   -2.00000000  ************\n";
        EXPECT_EQ(out.str(), want) << "idesp " << c.idesp << " label '" << c.atdescr << "'";
    }
}

} // namespace
