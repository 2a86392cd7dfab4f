// Every expected field below was written by gfortran 12 on this machine with the same edit
// descriptor.
#include "control/fixedwidth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct FCase {
    double x;
    int w;
    int d;
    const char* want;
};

TEST(FixedWidth, FMatchesGfortran) {
    const double inf = std::numeric_limits<double>::infinity();
    const FCase cases[] = {
        {-0.0, 8, 3, "  -0.000"},
        {-0.0001, 8, 3, "  -0.000"},
        {0.4, 8, 0, "      0."},
        {-0.4, 8, 0, "     -0."},
        {1234.6, 8, 0, "   1235."},
        {2.0, 8, 0, "      2."},
        {0.5, 4, 3, ".500"},
        {-0.5, 5, 3, "-.500"},
        {-0.5, 4, 3, "****"},
        {0.5, 3, 2, ".50"},
        {0.5, 2, 1, ".5"},
        {0.4, 1, 0, "*"},
        {0.4, 2, 0, "0."},
        {-0.4, 2, 0, "**"},
        {0.125, 8, 2, "    0.12"},
        {0.375, 8, 2, "    0.38"},
        {10.5, 4, 2, "****"},
        {1e20, 10, 3, "**********"},
        {1e20, 30, 3, "     100000000000000000000.000"},
        {2.5e-6, 10, 5, "   0.00000"},
        {-2.5e-6, 10, 5, "  -0.00000"},
        {-5e-6, 10, 5, "  -0.00001"},
        {9.9996, 6, 3, "10.000"},
        {9.9996, 5, 3, "*****"},
        {0.9996, 4, 3, "****"},
        {-0.996, 4, 2, "****"},
        {std::nan(""), 8, 3, "     NaN"},
        {std::nan(""), 2, 3, "**"},
        {inf, 8, 3, "Infinity"},
        {inf, 3, 3, "Inf"},
        {-inf, 8, 3, "    -Inf"},
        {-inf, 9, 3, "-Infinity"},
        {-inf, 3, 3, "***"},
        {1.0078999996185303, 10, 4, "    1.0079"},
    };
    for (const FCase& c : cases) {
        EXPECT_EQ(fw::F(c.x, c.w, c.d), c.want) << "F" << c.w << "." << c.d << " of " << c.x;
    }
}

TEST(FixedWidth, IAndA) {
    EXPECT_EQ(fw::I(-100, 3), "***");
    EXPECT_EQ(fw::I(-99, 3), "-99");
    EXPECT_EQ(fw::I(7, 5), "    7");
    EXPECT_EQ(fw::I(12345678901LL, 10), "**********");
    EXPECT_EQ(fw::A("ab", 4), "  ab");
    EXPECT_EQ(fw::A("abcd", 2), "ab");
    EXPECT_EQ(fw::A("abcd", 4), "abcd");
}

TEST(FixedWidth, AppendsToALine) {
    std::string line = "x";
    fw::F(line, 1.5, 6, 2);
    fw::I(line, 3, 3);
    fw::A(line, "C", 2);
    EXPECT_EQ(line, "x  1.50  3 C");
}

} // namespace
