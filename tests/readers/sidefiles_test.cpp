#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

namespace {

// Water (O, H, H) with every K-matrix partner 9, after reader(text).
Read water(void (*reader)(Store&, InputFile&), std::string text, int nat = 3) {
    Read r;
    r.s.nat = nat;
    allocstuff(r.s);
    for (int a = 1; a <= nat; ++a) {
        r.s.iat(a) = a == 1 ? 8 : 1;
        r.s.kmatrx(1, a) = r.s.kmatrx(2, a) = r.s.kmatrx(3, a) = 9;
    }
    r.s.isotpfile = "dir/iso file.txt";
    r.s.nisotp = 7;
    readinto(r, reader, std::move(text));
    return r;
}

TEST(ReadKmatrix, LineNBelongsToAtomN) {
    // Blank or integer-free lines count but change nothing; a fourth integer and lines
    // beyond the last atom are ignored; 0 and below mean no partner.
    Read r = water(readkmatrix, "-1 0 0\n\n2 1 3 7\nno integers\n1 2.5 x\n4 3 2\n99\n", 6);
    ASSERT_EQ(r.message, "");
    EXPECT_EQ(r.out, "");
    const int expected[6][3] = {{-1, 0, 0}, {9, 9, 9}, {2, 1, 3}, {9, 9, 9}, {1, 9, 9}, {4, 3, 2}};
    for (int a = 1; a <= 6; ++a) {
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(r.s.kmatrx(k, a), expected[a - 1][k - 1]) << "atom " << a << " ref " << k;
        }
    }
    r = water(readkmatrix, "0 0 0\n1 0 0\n1 2 4\n");
    EXPECT_EQ(r.message, "Error: reference atom out of range");
    EXPECT_EQ(r.routine, "readkmatrix");
}

TEST(ReadIsotp, PairsWarningsAndSkippedLines) {
    Read r = water(readisotp, "2 2.0141\n"
                              "2 2\n"        // no real: skipped
                              "1 2.0141 3\n" // two integers, one real: skipped
                              "\ntext only\n"
                              "4 0 3 2.0 5.0 17.999 deuterium\n" // paired by position
                              "  2 5000.0   \n"
                              "3 3.0\n"); // no room left
    ASSERT_EQ(r.message, "");
    EXPECT_EQ(r.out, " Warning, isotp number > NAT\n"
                     " Warning, isotp number < 1\n"
                     "Are you sure?\n"
                     "isotp file \"dir/iso file.txt\" line:   2 5000.0\n"
                     "Atom    2 is with mass         1.008\n"
                     "You want to change it to     5000.000\n");
    ASSERT_EQ(r.s.nisotp, 3);
    const int atoms[] = {2, 3, 2};
    const double masses[] = {2.0141, 17.999, 5000.0};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(r.s.iisotp(i), atoms[i - 1]);
        EXPECT_EQ(r.s.risotp(i), masses[i - 1]);
    }

    // 2000 amu off the standard mass is still no warning.
    r = water(readisotp, "1 2015.9994\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.s.nisotp, 1);
}

} // namespace
