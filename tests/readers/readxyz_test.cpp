#include "readers/readers.h"
#include "readertest.h"

namespace {

TEST(ReadXyz, AtomsInAngstromBlankLinesIgnored) {
    ReadResult r = runreader(readxyz, "3\nwater, title ignored: O 1.0 1.0 1.0\n"
                                      "O 0.0 0.0 0.1173\n\nH 0.0 0.7572 -0.4692\n"
                                      "h 0 -1 -2\n   \n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.s.nat, 3);
    EXPECT_EQ(r.s.iat(1), 8);
    EXPECT_EQ(r.s.iat(2), 1);
    EXPECT_EQ(r.s.iat(3), 1);
    EXPECT_EQ(r.s.xyz(3, 1), 0.1173 / bohr);
    EXPECT_EQ(r.s.xyz(2, 2), 0.7572 / bohr);
    // Integer coordinates are accepted.
    EXPECT_EQ(r.s.xyz(2, 3), -1 / bohr);
    EXPECT_EQ(r.s.xyz(3, 3), -2 / bohr);
    EXPECT_EQ(r.s.inpcoor, 1);
    EXPECT_EQ(r.s.moldescr(3), "MOL       "); // the tables were created for the atoms
}

TEST(ReadXyz, WindowsLineEndsReadLikeUnixOnes) {
    ReadResult r = runreader(readxyz, "2\r\n\r\nH 0.0 0.0 0.0\r\n\r\nH 0.0 0.0 0.74\r\n\r\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.xyz(3, 2), 0.74 / bohr);
}

TEST(ReadXyz, CountMismatch) {
    struct Case {
        std::string text;
        std::string out;
    };
    const Case cases[] = {
        // One atom line too many, as a second frame would give.
        {"3\n\nO 0.0 0.0 0.0\nH 0.0 0.0 1.0\nH 0.0 1.0 0.0\nH 1.0 0.0 0.0\n",
         "Need     3 atoms, found only     4 lines with ATOM info..\n"},
        {"4\n\nO 0.0 0.0 0.0\nH 0.0 0.0 1.0\n",
         "Need     4 atoms, found only     2 lines with ATOM info..\n"},
        // The count must be an integer.
        {"3.0\n\nO 0.0 0.0 0.0\nH 0.0 0.0 1.0\nH 0.0 1.0 0.0\n",
         "Need     0 atoms, found only     3 lines with ATOM info..\n"},
        {"123456\n\nO 0.0 0.0 0.0\n",
         "Need ***** atoms, found only     1 lines with ATOM info..\n"},
    };
    for (const Case& c : cases) {
        ReadResult r = runreader(readxyz, c.text);
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.message, "Not enough ATOMS");
        EXPECT_EQ(r.routine, "readxyz");
        EXPECT_FALSE(r.s.iat.allocated()); // the count fails before any table is made
    }
}

TEST(ReadXyz, NoAtoms) {
    for (const char* text : {"", "0\n", "0\ntitle\n\n", "\n\n"}) {
        ReadResult r = runreader(readxyz, text);
        EXPECT_EQ(r.out, "") << text;
        EXPECT_EQ(r.message, "No atoms found");
        EXPECT_EQ(r.routine, "readxyz");
    }
}

TEST(ReadXyz, BadAtomLineNamesTheReader) {
    ReadResult r = runreader(readxyz, "2\n\nC 0.0 0.0 0.0\n1.0 2.0 3.0\n");
    EXPECT_EQ(r.out, "Not enough strings found:  0\n" + echoed("1.0 2.0 3.0"));
    EXPECT_EQ(r.message, "Not enough strings on line");
    EXPECT_EQ(r.routine, "readxyz");
}

} // namespace
