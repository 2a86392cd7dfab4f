#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr double bohr = 0.5291772484779358;

Read run(std::string text) {
    Read r;
    readinto(r, &readpdb, std::move(text));
    return r;
}

// An ATOM record in the usual columns, with the element columns 77-78 as given.
std::string atomline(const std::string& name, const std::string& residue,
                     const std::string& element = "  ") {
    std::string line = "ATOM      2  " + name;
    line.resize(17, ' ');
    line += residue;
    line.resize(21, ' ');
    line += "A   1      12.560   6.070  -6.504  1.00  0.00";
    line.resize(76, ' ');
    return line + element + "\n";
}

struct ElementCase {
    const char* name;
    const char* residue;
    const char* element;
    int z;
};

TEST(Readpdb, ElementFromResidueTableNameAndElementColumns) {
    const ElementCase cases[] = {
        // Standard residues: the amino-acid table decides, whatever the element table says.
        {"CA", "ALA", "  ", 6},
        {"ca", "ala", "  ", 6},
        {"HG1", "THR", "  ", 1},
        {"HE", "ARG", "  ", 1},
        {"NE", "ARG", "  ", 7},
        {"ND1", "HIS", "  ", 7},
        {"CD", "PRO", "  ", 6},
        {"SG", "CYS", "  ", 16},
        {"OXT", "GLY", "  ", 8},
        {"HZ3", "LYS", "  ", 1},
        // Other residues: the first two characters of the name or the element columns, the
        // lower entry number winning.
        {"CA", "LIG", "  ", 20},
        {"CA", "ALAX", "  ", 20},
        {"CA", "LIG", " C", 6},
        {"CA", "LIG", "C ", 6},
        {"HG1", "XYZ", "  ", 80},
        {"HG1", "XYZ", " H", 1},
        {"X", "LIG", "fe", 26},
        {"Cl1", "LIG", "CL", 17},
        // Not in the table: the name alone, then with a digit in its second place blanked.
        {"O1", "LIG", "  ", 8},
        {"H12", "LIG", "  ", 1},
    };
    for (const ElementCase& c : cases) {
        Read r = run(atomline(c.name, c.residue, c.element));
        ASSERT_EQ(r.message, "") << c.name << " " << c.residue << "\n" << r.out;
        EXPECT_EQ(r.s.iat(1), c.z) << c.name << " " << c.residue << " '" << c.element << "'";
    }
}

TEST(Readpdb, NamesResiduesNumbersAndCoordinates) {
    Read r = run("HEADER    TEST\n"
                 "REMARK   1 ATOM AND HETATM RECORDS FOLLOW\n"
                 "COMPND    HETATM\n"
                 "ATOMS 1 C LIG 1 0.0 0.0 0.0\n"
                 "ATOM      1  N   ALA A   7      11.104   6.134  -6.504  1.00  0.00           N\n"
                 "HETATM    2  C1xyzabcdefgh lig   12  -1.0 2.5 1000.25\n"
                 "HETATM10000 O1   HOH   305       0.000   0.000   1.000  1.00  0.00\n"
                 "ATOM 4 H1 W 1.0 2.0 3.0\n"
                 "END\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 4);
    EXPECT_EQ(r.s.iat(1), 7);
    EXPECT_EQ(r.s.atdescr(1), "N         ");
    EXPECT_EQ(r.s.moldescr(1), "ALA       ");
    EXPECT_EQ(r.s.iatmol(1), 7);
    EXPECT_EQ(r.s.xyz(1, 1), 11.104 / bohr);
    EXPECT_EQ(r.s.xyz(3, 1), -6.504 / bohr);
    // Names and residues upper-cased and cut to 10 characters.
    EXPECT_EQ(r.s.iat(2), 6);
    EXPECT_EQ(r.s.atdescr(2), "C1XYZABCDE");
    EXPECT_EQ(r.s.moldescr(2), "LIG       ");
    EXPECT_EQ(r.s.iatmol(2), 12);
    EXPECT_EQ(r.s.xyz(3, 2), 1000.25 / bohr);
    // A five-digit serial number glued to HETATM: still an atom, its residue number the first
    // integer on the line.
    EXPECT_EQ(r.s.iat(3), 8);
    EXPECT_EQ(r.s.moldescr(3), "HOH       ");
    EXPECT_EQ(r.s.iatmol(3), 305);
    EXPECT_EQ(r.s.xyz(3, 3), 1.0 / bohr);
    // No residue number: 0.
    EXPECT_EQ(r.s.iat(4), 1);
    EXPECT_EQ(r.s.iatmol(4), 0);
    EXPECT_EQ(r.s.inpcoor, 1);
}

TEST(Readpdb, Failures) {
    struct Case {
        std::string text, out, message;
    };
    const Case cases[] = {
        {"ATOM      1  C   LIG     1       0       1       2\n",
         "Not enough reals found:  0\nLINE: " +
             record("ATOM      1  C   LIG     1       0       1       2") + "\n",
         "Not enough reals on line"},
        {atomline("QQ", "LIG"),
         "Unknown atomtype found: QQ\nLINE: " + record(atomline("QQ", "LIG").substr(0, 78)) + "\n",
         "Unknown atomtype found"},
        {atomline("X1", "LIG"),
         "Unknown atomtype found: X1\nLINE: " + record(atomline("X1", "LIG").substr(0, 78)) + "\n",
         "Unknown atomtype found"},
        // The element table is tried with the name as written.
        {atomline("Cl", "LIG"),
         "Unknown atomtype found: Cl\nLINE: " + record(atomline("Cl", "LIG").substr(0, 78)) + "\n",
         "Unknown atomtype found"},
        {"REMARK   ATOM RECORDS WERE REMOVED\nEND\n", "", "No atoms found"},
    };
    for (const Case& c : cases) {
        Read r = run(c.text);
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, "readpdb") << c.text;
        EXPECT_EQ(r.out, c.out) << c.text;
    }
}

// The counting pass looks at a line's first field alone, the reading pass splits the whole
// line: on random files of lines that start like a record name or nearly so (quoted, glued
// to a serial number or an equals sign, after separators, cut at 80 characters), every
// record counted is stored and no other.
TEST(Readpdb, CountsExactlyTheRecordsItStores) {
    struct Start {
        std::string text;
        bool atom;
    };
    const std::string digits90(90, '1');
    const std::vector<Start> starts = {
        {"ATOM", true},
        {"HETATM", true},
        {"HETATM12345", true},
        {" ,\tATOM", true},
        {"'ATOM'", true},
        {"\"HETATM   \"", true},
        {"ATOM=", true},
        {"HETATM,", true},
        {"HETATM" + digits90, true},
        {"'HETATM" + digits90 + "x'", true},
        {"HETATM1x", false},
        {"ATOMS", false},
        {"atom", false},
        {"=ATOM", false},
        {"'ATOM", false},
        {"ATOM'", false},
        {"REMARK", false},
        {"1.5", false},
        {"HETATM-1", false},
        {"'HETATM1 2'", false},
        {"", false},
        {"\"\"", false},
        {"HETATM" + digits90 + "x", true},
    };
    std::mt19937 rng(5);
    for (int trial = 0; trial < 2000; ++trial) {
        std::string text;
        int atoms = 0;
        const int lines = int(rng() % 8);
        for (int k = 0; k < lines; ++k) {
            const Start& start = starts[rng() % starts.size()];
            text += start.text + " 7 O HOH 3 1.0 2.0 3.0 1.00 0.00\n";
            atoms += start.atom ? 1 : 0;
        }
        Read r;
        readinto(r, &readpdb, text);
        if (atoms == 0) {
            ASSERT_EQ(r.message, "No atoms found") << text;
            continue;
        }
        ASSERT_EQ(r.message, "") << text;
        ASSERT_EQ(r.s.nat, atoms) << text;
        ASSERT_EQ(r.s.iat.hi(), atoms) << text;
    }
}

} // namespace
