#include "readers/readers.h"
#include "readertest.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

const std::string summary = "  SUMMARY\n          HEAT OF FORMATION = 51.2 KCAL/MOL\n\n";

TEST(ReadArc, CartesianBlockAfterTheMarker) {
    ReadResult r = runreader(readarc, summary + "          FINAL GEOMETRY OBTAINED\n"
                                                " PM7 BFGS PRECISE\n title\n comment\n"
                                                "  C     0.5 +1   1.5 +1  -0.25 +1\n"
                                                "  H     1.0 +1   2.0 +1   3.0 +1\n"
                                                "\n  O     9.0 +1   9.0 +1   9.0 +1\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.xyz(1, 1), 0.5 / bohr);
    EXPECT_EQ(r.s.xyz(3, 1), -0.25 / bohr);
    EXPECT_EQ(r.s.iat(2), 1);
    EXPECT_EQ(r.s.inpcoor, 1);
}

TEST(ReadArc, ZmatrixBlockOfTheFirstSectionOnly) {
    const std::string section = "FINAL GEOMETRY OBTAINED\nkeys\ntitle\ncomment\n"
                                "C 0.0 0 0.0 0 0.0 0 0 0 0\n"
                                "C 1.54 1 0.0 0 0.0 0 1 0 0\n"
                                "H 1.09 1 109.5 1 0.0 0 2 1 0\n"
                                "H 1.09 1 109.5 1 120.0 1 2 1 3\n";
    ReadResult r = runreader(readarc, summary + section + " , \n" + section + section);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 4);
    EXPECT_EQ(r.s.inpcoor, 2);
    EXPECT_EQ(r.s.kmatrx(1, 4), 2);
    EXPECT_EQ(r.s.kmatrx(2, 4), 1);
    EXPECT_EQ(r.s.kmatrx(3, 4), 3);
    EXPECT_EQ(r.s.zmat(1, 4), 1.09 / bohr);
    EXPECT_EQ(r.s.zmat(3, 4), 120.0 * 0.017453292519943295);
}

TEST(ReadArc, BlockEndsAtTheFirstLineWithoutAField) {
    for (const char* end : {"\n", "   \n", ",,,\n", "= =\n"}) {
        ReadResult r = runreader(readarc, "FINAL GEOMETRY OBTAINED\nk\nt\nc\nH 0.0 0.0 0.0\n" +
                                              std::string(end) + "H 0.0 0.0 1.0\n");
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.nat, 1) << end;
    }
}

TEST(ReadArc, NoAtoms) {
    for (const char* text :
         {"", "C 0.0 0.0 0.0\n", "FINAL GEOMETRY OBTAINED\n", "FINAL GEOMETRY OBTAINED\nk\nt\nc\n",
          "FINAL GEOMETRY OBTAINED\nk\nt\nc\n\nC 0.0 0.0 0.0\n"}) {
        ReadResult r = runreader(readarc, text);
        EXPECT_EQ(r.out, "") << text;
        EXPECT_EQ(r.message, "No atoms found") << text;
        EXPECT_EQ(r.routine, "readarc");
    }
}

TEST(ReadArc, BadAtomLineNamesTheReader) {
    ReadResult r = runreader(readarc, "FINAL GEOMETRY OBTAINED\nk\nt\nc\nC 0.0 0.0\n");
    EXPECT_EQ(r.out, "Not enough reals found:  2\n" + echoed("C 0.0 0.0"));
    EXPECT_EQ(r.message, "Not enough reals on line");
    EXPECT_EQ(r.routine, "readarc");
}

} // namespace
