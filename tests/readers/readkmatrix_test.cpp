#include "readers/readers.h"
#include "readertest.h"

namespace {

// A store of n atoms whose references are all 9.
ReadResult withatoms(int n) {
    ReadResult r;
    r.s.nat = n;
    allocstuff(r.s);
    for (int a = 1; a <= n; ++a) {
        for (int k = 1; k <= 3; ++k) {
            r.s.kmatrx(k, a) = 9;
        }
    }
    return r;
}

TEST(ReadKmatrix, LineNBelongsToAtomN) {
    ReadResult r = runreader(readkmatrix,
                             "0 0 0\n"
                             "\n"            // atom 2 keeps its references
                             "2 1 3 7\n"     // a fourth integer is ignored
                             "1 2.5 x\n"     // one integer: only the distance partner
                             "no integers\n" // changes nothing but counts
                             "4 3 2\n"
                             "1 1 1\n", // beyond the atoms: ignored
                             withatoms(6));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    const int expected[6][3] = {{0, 0, 0}, {9, 9, 9}, {2, 1, 3}, {1, 9, 9}, {9, 9, 9}, {4, 3, 2}};
    for (int a = 1; a <= 6; ++a) {
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(r.s.kmatrx(k, a), expected[a - 1][k - 1]) << "atom " << a << " ref " << k;
        }
    }
}

TEST(ReadKmatrix, PartnerBeyondTheLastAtom) {
    ReadResult r = runreader(readkmatrix, "0 0 0\n1 0 0\n1 2 0\n1 2 5\n", withatoms(6));
    EXPECT_EQ(r.message, "");
    r = runreader(readkmatrix, "0 0 0\n1 0 0\n1 2 0\n1 2 5\n", withatoms(4));
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.message, "Error: reference atom out of range");
    EXPECT_EQ(r.routine, "readkmatrix");
    // No partner, written as 0 or below, passes.
    r = runreader(readkmatrix, "-1 -3 0\n", withatoms(1));
    EXPECT_EQ(r.message, "");
    EXPECT_EQ(r.s.kmatrx(1, 1), -1);
    EXPECT_EQ(r.s.kmatrx(2, 1), -3);
}

} // namespace
