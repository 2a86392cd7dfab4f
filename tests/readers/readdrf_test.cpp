#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Read run(std::string text, bool output = false) {
    Read r;
    readinto(r, output ? &readdrfout : &readdrf, std::move(text));
    return r;
}

std::string block(const std::string& atoms) {
    return "$EXTERNAL\n" + atoms + "$END\n";
}

struct AtomCase {
    const char* line;
    int z;
    double charge, x, y, z3;
    const char* label;
    const char* group;
    int number;
};

TEST(Readdrf, AtomLineByNumberOfStrings) {
    const AtomCase cases[] = {
        // One string: symbol and integer 1 as the label, group number from integer 3.
        {"O 1 7 -0.834 0.0 0.0 0.22", 8, -0.834, 0.0, 0.0, 0.22, "O1", "MOL", 0},
        {"O 1 7 5 -0.834 0.0 0.0 0.22", 8, -0.834, 0.0, 0.0, 0.22, "O1", "MOL", 5},
        // Two strings: the second is the group name, integer 2 the group number.
        {"H WAT 3 0.417 1.43 0.0 1.1", 1, 0.417, 1.43, 0.0, 1.1, "H3", "WAT", 0},
        {"h wat 3 4 0.417 1.43 0.0 1.1", 1, 0.417, 1.43, 0.0, 1.1, "H3", "WAT", 4},
        // Three strings: label and group name as written, integer 1 the group number.
        {"C CA ALA 12 0.1 1.0 2.0 3.0", 6, 0.1, 1.0, 2.0, 3.0, "CA", "ALA", 12},
        {"n n1 lys extra 7 -0.3 1.0 2.0 3.0", 7, -0.3, 1.0, 2.0, 3.0, "N1", "LYS", 7},
        // Dummy atoms.
        {"QQ 2 0.5 0.0 0.0 1.0", 94, 0.5, 0.0, 0.0, 1.0, "XX2", "MOL", 0},
        {"CM 4 0.0 1.0 1.0 1.0", 94, 0.0, 1.0, 1.0, 1.0, "XX4", "MOL", 0},
        // The symbol in the label as the element table prints it.
        {"CL 9 -1.0 0.0 0.0 4.0", 17, -1.0, 0.0, 0.0, 4.0, "Cl9", "MOL", 0},
        {"J.O 1 0.0 0.0 0.0 1.0", 8, 0.0, 0.0, 0.0, 1.0, "O1", "MOL", 0},
        // Missing numbers are 0; a missing integer 1 gives the digits "0".
        {"NA 1.0 2.0", 11, 1.0, 2.0, 0.0, 0.0, "Na0", "MOL", 0},
        {"K -5 1.0 0.0 0.0 0.0", 19, 1.0, 0.0, 0.0, 0.0, "K-5", "MOL", 0},
        // Names cut to 10 characters.
        {"C ABCDEFGHIJKL RESIDUENAME 1 0.0 0.0 0.0 0.0", 6, 0.0, 0.0, 0.0, 0.0, "ABCDEFGHIJ",
         "RESIDUENAM", 1},
    };
    for (const AtomCase& c : cases) {
        Read r = run(block(std::string(c.line) + "\n"));
        SCOPED_TRACE(c.line);
        ASSERT_EQ(r.message, "");
        ASSERT_EQ(r.s.nat, 1);
        EXPECT_EQ(r.s.iat(1), c.z);
        EXPECT_DOUBLE_EQ(r.s.chrg(1), c.charge);
        // Bohr, stored as read.
        EXPECT_DOUBLE_EQ(r.s.xyz(1, 1), c.x);
        EXPECT_DOUBLE_EQ(r.s.xyz(2, 1), c.y);
        EXPECT_DOUBLE_EQ(r.s.xyz(3, 1), c.z3);
        EXPECT_EQ(r.s.atdescr(1), fixedtext(c.label, 10));
        EXPECT_EQ(r.s.moldescr(1), fixedtext(c.group, 10));
        EXPECT_EQ(r.s.iatmol(1), c.number);
        EXPECT_EQ(r.s.inpcoor, 1);
        EXPECT_EQ(r.s.ngeom, 0);
    }
}

struct BlockCase {
    const char* name;
    const char* text;
    int nat;
    double firstcharge; // charge of atom 1, telling which block was kept
};

TEST(Readdrf, BlockBoundaries) {
    const BlockCase cases[] = {
        {"head with a number", "$EXTERNAL 3\nH 1 0.1 0 0 0\n$END\n", 1, 0.1},
        {"blank lines skipped", "$EXTERNAL\n\n   \nH 1 0.1 0 0 0\n\n$END\n", 1, 0.1},
        {"head inside open block restarts", "$EXTERNAL\nH 1 0.1 0 0 0\n$EXTERNAL\nC 1 0.3 0 0 0\n",
         1, 0.3},
        {"unclosed block still read", "$EXTERNAL\nH 1 0.1 0 0 0\nO 1 0.2 0 0 0\n", 2, 0.1},
        {"shorter earlier block",
         "$EXTERNAL\nH 1 0.1 0 0 0\n$END\n"
         "$EXTERNAL\nC 1 0.3 0 0 0\nO 1 0.4 0 0 0\n$END\n",
         2, 0.3},
    };
    for (const BlockCase& c : cases) {
        Read r = run(c.text);
        SCOPED_TRACE(c.name);
        ASSERT_EQ(r.message, "");
        EXPECT_EQ(r.s.nat, c.nat);
        EXPECT_DOUBLE_EQ(r.s.chrg(1), c.firstcharge);
    }
}

struct FailCase {
    const char* name;
    const char* text;
    bool output;
    const char* message;
    const char* routine;
};

TEST(Readdrf, Failures) {
    const FailCase cases[] = {
        {"no head", "H 1 0.1 0 0 0\n", false, "No atoms found", "readdrf"},
        {"empty last block", "$EXTERNAL\nH 1 0.1 0 0 0\n$END\n$EXTERNAL\n$END\n", true,
         "No atoms found", "readdrfout"},
        {"longer earlier block",
         "$EXTERNAL\nH 1 0 0 0 0\nH 2 0 0 0 0\n$END\n"
         "$EXTERNAL\nO 1 0 0 0 0\n$END\n",
         false, "More atoms in a block than in the last block", "readdrf"},
        {"longer earlier block in output",
         "$EXTERNAL\nH 1 0 0 0 0\nH 2 0 0 0 0\n$END\n"
         "$EXTERNAL\nO 1 0 0 0 0\n$END\n",
         true, "More atoms in a block than in the last block", "readdrfout"},
        {"shorter earlier block in output",
         "$EXTERNAL\nH 1 0 0 0 0\n$END\n"
         "$EXTERNAL\nO 1 0 0 0 0\nH 2 0 0 0 0\n$END\n",
         true, "Fewer atoms in a block than in the last block", "readdrfout"},
    };
    for (const FailCase& c : cases) {
        Read r = run(c.text, c.output);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.routine, c.routine);
    }
}

TEST(Readdrf, UnknownElementEchoesTheUpperCasedLine) {
    // An indented GROUP line is not passed over: its first string is taken as an element.
    for (const bool output : {false, true}) {
        Read r = run("$EXTERNAL\n  group 1\n$END\n", output);
        EXPECT_EQ(r.message, "Unknown atomtype found");
        EXPECT_EQ(r.routine, output ? "readdrfout" : "readdrf");
        EXPECT_EQ(r.out, "Unknown atomtype found: GR\nLINE: " + record("  GROUP 1") + "\n");
    }
    // A label must be the symbol followed by a blank, and QQ and CM must stand alone.
    for (const char* label : {"O1", "QQ1", "CMX"}) {
        Read r = run(block(std::string(label) + " 1 0.0 0.0 0.0 0.0\n"));
        EXPECT_EQ(r.message, "Unknown atomtype found") << label;
    }
}

TEST(Readdrfout, EveryClosedBlockIsOneGeometry) {
    std::string text = "DRF run\n";
    for (int g = 1; g <= 3; ++g) {
        const std::string d = std::to_string(g) + ".0";
        text += " $EXTERNAL\nGROUP\nO 1 1 -0.8 0.0 0.0 " + d + "\nH 2 1 0.4 " + d +
                " 0.0 0.0\n"
                " $END\nsome output\n";
    }
    Read r = run(text, true);
    ASSERT_EQ(r.message, "");
    ASSERT_EQ(r.s.nat, 2);
    ASSERT_EQ(r.s.ngeom, 3);
    for (int g = 1; g <= 3; ++g) {
        EXPECT_DOUBLE_EQ(r.s.xgeo(3, 1, g), g);
        EXPECT_DOUBLE_EQ(r.s.xgeo(1, 2, g), g);
        EXPECT_DOUBLE_EQ(r.s.egeo(g), 0.0);
    }
    EXPECT_DOUBLE_EQ(r.s.xyz(3, 1), 3.0);
    EXPECT_DOUBLE_EQ(r.s.chrg(2), 0.4);
    EXPECT_EQ(r.s.atdescr(2), fixedtext("H2", 10));
}

TEST(Readdrfout, OnlyClosedBlocksCountAsGeometries) {
    // Block 1 is cut off by a new head, block 3 by the end of the file: neither becomes a
    // geometry, and the sequence keeps no frame that was never filled.
    const std::string text = "$EXTERNAL\nH 1 0.1 0.0 0.0 1.0\n"
                             "$EXTERNAL\nH 1 0.2 0.0 0.0 2.0\n$END\n"
                             "$EXTERNAL\nH 1 0.3 0.0 0.0 3.0\n";
    Read r = run(text, true);
    ASSERT_EQ(r.message, "");
    ASSERT_EQ(r.s.ngeom, 1);
    EXPECT_DOUBLE_EQ(r.s.xgeo(3, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(r.s.xyz(3, 1), 3.0);
    EXPECT_DOUBLE_EQ(r.s.chrg(1), 0.3);
}

} // namespace
