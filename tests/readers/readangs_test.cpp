#include "readers/readers.h"
#include "readertest.h"

namespace {

TEST(ReadAngs, SymbolsPrefixesAndElementNumbers) {
    ReadResult r = runreader(readangs, "\n6 0.0 0.0 0.0\nGH.C 1.0 2.0 3.0\n\nJ.N 0 0 1\n"
                                       "8 1 2 3\nCl 0.5 0.5 0.5\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 5);
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.xyz(1, 1), 0.0);
    EXPECT_EQ(r.s.iat(2), 6); // ghost prefix removed
    EXPECT_EQ(r.s.xyz(3, 2), 3.0 / bohr);
    EXPECT_EQ(r.s.iat(3), 7); // "J." kept and recognised
    EXPECT_EQ(r.s.xyz(3, 3), 1.0 / bohr);
    EXPECT_EQ(r.s.iat(4), 8);
    EXPECT_EQ(r.s.xyz(1, 4), 1.0 / bohr); // the element number is no coordinate
    EXPECT_EQ(r.s.xyz(3, 4), 3.0 / bohr);
    EXPECT_EQ(r.s.iat(5), 17);
}

TEST(ReadAngs, Failures) {
    ReadResult r = runreader(readangs, "C 0.0 0.0 0.0\n99 0.0 0.0 0.0\n");
    EXPECT_EQ(r.out, "Unknown atomtype found: 99\n" + echoed("99 0.0 0.0 0.0"));
    EXPECT_EQ(r.message, "Unknown atomtype found");
    EXPECT_EQ(r.routine, "readangs");

    r = runreader(readangs, " \n\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.message, "No atoms found");
    EXPECT_EQ(r.routine, "readangs");
}

TEST(ReadBohrs, CoordinatesStoredAsRead) {
    ReadResult r = runreader(readbohrs, "N 1.0 -2.5 3.25\n\nXX 0.0 0.0 1.0e1\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.iat(1), 7);
    EXPECT_EQ(r.s.xyz(2, 1), -2.5);
    EXPECT_EQ(r.s.xyz(3, 1), 3.25);
    EXPECT_EQ(r.s.iat(2), 94);
    EXPECT_EQ(r.s.xyz(3, 2), 10.0);
}

TEST(ReadBohrs, Failures) {
    ReadResult r = runreader(readbohrs, "O 0 0 1\n");
    EXPECT_EQ(r.out, "Not enough reals found:  0\n" + echoed("O 0 0 1"));
    EXPECT_EQ(r.message, "Not enough reals on line");
    EXPECT_EQ(r.routine, "readbohrs");

    // An element number is a symbol only for Angstrom lists.
    r = runreader(readbohrs, "6 0.0 0.0 0.0\n");
    EXPECT_EQ(r.out, "Not enough strings found:  0\n" + echoed("6 0.0 0.0 0.0"));

    r = runreader(readbohrs, "");
    EXPECT_EQ(r.message, "No atoms found");
    EXPECT_EQ(r.routine, "readbohrs");
}

} // namespace
