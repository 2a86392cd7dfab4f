#include "readers/readers.h"
#include "readertest.h"

namespace {

TEST(ReadDat, HeaderOfThreeLinesWhateverTheyHold) {
    // Blank header lines, and header lines that look like atoms, are skipped alike.
    for (const char* header : {"\n\n\n", "C 9.0 9.0 9.0\n\nO 1.0 1.0 1.0\n"}) {
        ReadResult r =
            runreader(readdat, std::string(header) + "C 1.0 2.0 3.0 1 1 1\n\nH 0.0 0.0 1.1\n");
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.nat, 2);
        EXPECT_EQ(r.s.iat(1), 6);
        EXPECT_EQ(r.s.xyz(3, 1), 3.0 / bohr);
        EXPECT_EQ(r.s.iat(2), 1);
        EXPECT_EQ(r.s.inpcoor, 1);
    }
}

TEST(ReadDat, ZmatrixLines) {
    ReadResult r = runreader(readdat, "title\n\n\n"
                                      "O 0.0 0.0 0.0 0 0 0 0 0 0\n"
                                      "H 0.96 0.0 0.0 1 0 0 1 0 0\n"
                                      "H 0.96 104.5 0.0 1 1 0 1 2 0\n"
                                      "C 1.5 109.5 180.0 1 1 1 2 1 3\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 4);
    EXPECT_EQ(r.s.inpcoor, 2);
    EXPECT_EQ(r.s.kmatrx(1, 4), 2);
    EXPECT_EQ(r.s.kmatrx(2, 4), 1);
    EXPECT_EQ(r.s.kmatrx(3, 4), 3);
    EXPECT_EQ(r.s.zmat(1, 4), 1.5 / bohr);
    EXPECT_EQ(r.s.zmat(2, 4), 109.5 * 0.017453292519943295);
    EXPECT_EQ(r.s.zmat(3, 4), 180.0 * 0.017453292519943295);
    EXPECT_EQ(r.s.kmatrx(1, 3), 1);
    EXPECT_EQ(r.s.kmatrx(2, 3), 2);
    EXPECT_EQ(r.s.kmatrx(3, 3), 0);
}

TEST(ReadDat, Failures) {
    for (const char* text : {"", "a\nb\n", "a\nb\nc\n", "a\nb\nc\n \n"}) {
        ReadResult r = runreader(readdat, text);
        EXPECT_EQ(r.out, "") << text;
        EXPECT_EQ(r.message, "No atoms found");
        EXPECT_EQ(r.routine, "readdat");
    }
    ReadResult r = runreader(readdat, "\n\n\nC1 0.0 0.0 0.0\n");
    EXPECT_EQ(r.out, "Unknown atomtype found: C1\n" + echoed("C1 0.0 0.0 0.0"));
    EXPECT_EQ(r.routine, "readdat");
}

} // namespace
