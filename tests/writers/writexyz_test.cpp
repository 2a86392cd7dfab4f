// Expected numbers in these writer tests were checked against gfortran with the same edit
// descriptors.
#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

namespace {

TEST(Writexyz, WritesAtomsInOutputOrderWithEnergyTitle) {
    Store s;
    testing_store::peroxide(s);
    s.inputfile = "h2o2.out";
    s.energy = -151.5;
    OutputFile out;
    writexyz(s, out);
    EXPECT_EQ(out.str(), "   4\n"
                         "h2o2.out       -95067.6925\n"
                         "O       0.000000    0.700000    0.000000\n"
                         "O       0.000000   -0.700000    0.000000\n"
                         "H       1.234568    0.800000    0.100000\n"
                         "H      -0.900000   -0.800000   -0.000000\n");
}

TEST(Writexyz, ZeroEnergyAndOverflowingCoordinate) {
    Store s;
    testing_store::build(s, {{17, 12345.0, 0.0, -1.5, {}}}, {1});
    s.inputfile = "mol.xyz";
    OutputFile out;
    writexyz(s, out);
    EXPECT_EQ(out.str(), "   1\n"
                         "mol.xyz            0.0000\n"
                         "Cl    **********    0.000000   -1.500000\n");
}

TEST(Writebohrs, WritesBohrInOutputOrder) {
    Store s;
    testing_store::peroxide(s);
    OutputFile out;
    writebohrs(s, out);
    EXPECT_EQ(out.str(), "O       0.00000000    1.32280819    0.00000000\n"
                         "O       0.00000000   -1.32280819    0.00000000\n"
                         "H       2.33299429    1.51178079    0.18897260\n"
                         "H      -1.70075339   -1.51178079   -0.00000076\n");
}

TEST(Writebohrs, ElementOutsideTheTableIsWrittenAsDummy) {
    Store s;
    testing_store::build(s, {{0, 0.0, 0.0, 0.0, {}}}, {1});
    OutputFile out;
    writebohrs(s, out);
    EXPECT_EQ(out.str(), "XX      0.00000000    0.00000000    0.00000000\n");
}

} // namespace
