#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

constexpr double toBohr = 1.889725990443248;
constexpr double toRad = 0.017453292519943295;

Read run(std::string text) {
    Read r;
    readinto(r, &readadfinp, std::move(text));
    return r;
}

TEST(Readadfinp, CartesianAtomsAndWhereTheElementStands) {
    struct Case {
        const char* line;
        int z;
        std::array<double, 3> xyz; // as written, before the length factor
    };
    const Case cases[] = {
        {"C 0.5 -1.25 2.0", 6, {0.5, -1.25, 2.0}},
        {"  co 1.0 2.0 3.0", 27, {1.0, 2.0, 3.0}},
        {"C.1 0.1 0.2 0.3", 6, {0.1, 0.2, 0.3}},
        {"Cl.ring 0.1 0.2 0.3", 17, {0.1, 0.2, 0.3}},
        {"J.N 0.1 0.2 0.3", 7, {0.1, 0.2, 0.3}},
        // A leading integer is passed over; a leading real puts the element in field 2.
        {"1 C 0.1 0.2 0.3", 6, {0.1, 0.2, 0.3}},
        {"7.5 O 0.1 0.2 0.3", 8, {0.1, 0.2, 0.3}},
        // Integers are coordinates when there are too few reals.
        {"H 0 0 1", 1, {0.0, 0.0, 1.0}},
        {"H 1 2.5 -3.5", 1, {1.0, 2.5, -3.5}},
        {"2 N.x 4 0.5 6", 7, {4.0, 0.5, 6.0}},
        // Fields after the coordinates are ignored.
        {"C 0.1 0.2 0.3 f=frag1", 6, {0.1, 0.2, 0.3}},
        {"C 0.1 0.2 0.3 ! 9.0 9.0", 6, {0.1, 0.2, 0.3}},
    };
    for (const Case& c : cases) {
        const Read r = run(std::string("ATOMS\n") + c.line + "\nEND\n");
        ASSERT_EQ(r.message, "") << c.line << "\n" << r.out;
        ASSERT_EQ(r.s.nat, 1) << c.line;
        EXPECT_EQ(r.s.iat(1), c.z) << c.line;
        EXPECT_EQ(r.s.inpcoor, 1);
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(r.s.xyz(k, 1), c.xyz[std::size_t(k - 1)] * toBohr) << c.line << " " << k;
        }
    }
}

TEST(Readadfinp, BlocksCommentsAndUnits) {
    // Only the ATOMS block gives atoms; "ATOMS ALL" and "ATOMS 1 2" open nothing, a comment
    // and a comment-only line are passed over, keywords are found in any case.
    const std::string atoms = "Title test\n"
                              "Symmetry\n  atoms all\nend\n"
                              "Fragments\n  atoms 1 2\n  H 9.0 9.0 9.0\nend\n"
                              "! atoms in a comment\n"
                              "aToMs cartesian\n"
                              "  ! the first atom\n"
                              "\n"
                              "  O 0.0 0.0 0.5 ! oxygen\n"
                              "  H 0.0 0.75 0.0\n"
                              "eNd\n";
    Read r = run(atoms);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.iat(1), 8);
    EXPECT_EQ(r.s.iat(2), 1);
    EXPECT_EQ(r.s.xyz(3, 1), 0.5 * toBohr);
    EXPECT_EQ(r.s.xyz(2, 2), 0.75 * toBohr);

    // Bohr units, before or after the atoms: the coordinates stay as they are.
    for (const std::string& text :
         {"UNITS\n length Bohr\nEND\n" + atoms, atoms + "Units\n  Length bohr ! au\nEnd\n"}) {
        r = run(text);
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.xyz(3, 1), 0.5);
        EXPECT_EQ(r.s.xyz(2, 2), 0.75);
    }
    // Only a line beginning with END ends the atoms: an atom line that holds the letters
    // elsewhere is an atom.
    r = run("Atoms\n C 0.0 0.0 0.0 f=legend\n O 0.0 0.0 1.0\n  End atoms\n H 9.0 9.0 9.0\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 2);
    EXPECT_EQ(r.s.iat(2), 8);

    // "length bohr" outside a UNITS block, or after its END, changes nothing.
    r = run("length bohr\nUNITS\nEND\nlength bohr\n" + atoms);
    EXPECT_EQ(r.s.xyz(3, 1), 0.5 * toBohr);
}

TEST(Readadfinp, ZmatrixReferencesValuesAndVariables) {
    Read r = run("GEOVAR\n"
                 "  rCH = 1.09\n"
                 "  aHCH 109\n"
                 "  dih 120.0 130.0 5\n"
                 "END\n"
                 "ATOMS Z-Matrix\n"
                 "  C 0 0 0\n"
                 "  H 1 0 0 rch\n"
                 "  H 1 2 0 RCH aHCH\n"
                 "  H 1 2 3 1.09 -AHCH -dih\n"
                 "  H 1 2 3 1 110 dih 7.0\n"
                 "END\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 5);
    EXPECT_EQ(r.s.inpcoor, 2);
    const std::array<std::array<int, 3>, 5> refs{
        {{0, 0, 0}, {1, 0, 0}, {1, 2, 0}, {1, 2, 3}, {1, 2, 3}}};
    for (int a = 1; a <= 5; ++a) {
        EXPECT_EQ(r.s.iat(a), a == 1 ? 6 : 1);
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(r.s.kmatrx(k, a), refs[std::size_t(a - 1)][std::size_t(k - 1)]) << a;
        }
    }
    EXPECT_EQ(r.s.zmat(1, 2), 1.09 * toBohr);
    EXPECT_EQ(r.s.zmat(2, 3), 109 * toRad); // an integer variable value
    EXPECT_EQ(r.s.zmat(2, 4), -109 * toRad);
    EXPECT_EQ(r.s.zmat(3, 4), -120.0 * toRad);
    // Integer values after the three references; the values end after the third.
    EXPECT_EQ(r.s.zmat(1, 5), 1 * toBohr);
    EXPECT_EQ(r.s.zmat(2, 5), 110 * toRad);
    EXPECT_EQ(r.s.zmat(3, 5), 120.0 * toRad);

    // Radians and Bohr; the walk stops once the references have their values.
    r = run("Units\n angle radian\n length bohr\nEnd\nAtoms internal\n"
            "N 0 0 0\nH 1 0 0 2.0 3.0 4.0\nH 1 2 0 2.0 1.5 9.0\nEnd\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.zmat(1, 2), 2.0);
    EXPECT_EQ(r.s.zmat(2, 2), 0.0);
    EXPECT_EQ(r.s.zmat(2, 3), 1.5);
    EXPECT_EQ(r.s.zmat(3, 3), 0.0);

    // A name holding END closes the GEOVAR block on its own line: the variables after it do
    // not exist.
    r = run("GEOVAR\n r1 1.0\n bend1 100.0\n r2 1.0\nEND\nATOMS Z-MATRIX\n"
            "O 0 0 0\nH 1 0 0 r1\nH 1 2 0 r2 100.0\nEND\n");
    EXPECT_EQ(r.message, "Error reading Z-matrix");
    EXPECT_EQ(r.out, "Error on line: \n" + record("H 1 2 0 R2 100.0") + "\n");
    // Nor is the name itself defined; an atom line naming it is still an atom line and fails.
    r = run("GEOVAR\n r1 1.0\n bend1 100.0\nEND\nATOMS Z-MATRIX\n"
            "O 0 0 0\nH 1 0 0 r1\nH 1 2 0 r1 bend1\nEND\n");
    EXPECT_EQ(r.message, "Error reading Z-matrix");
    EXPECT_EQ(r.out, "Error on line: \n" + record("H 1 2 0 R1 BEND1") + "\n");
}

TEST(Readadfinp, VariableDefinedTwiceGivesOneValue) {
    // Each name supplies one value, so the angle cannot slide into the dihedral's place.
    const Read r = run("GEOVAR\n r 1.0\n a 100.0\n r 2.0\nEND\nATOMS Z-MATRIX\n"
                       "O 0 0 0\nH 1 0 0 1.0\nH 1 2 0 r a\nEND\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.zmat(1, 3), 1.0 * toBohr);
    EXPECT_EQ(r.s.zmat(2, 3), 100.0 * toRad);
    EXPECT_EQ(r.s.zmat(3, 3), 0.0);
}

TEST(Readadfinp, Failures) {
    const auto echo = [](std::string_view line) { return "LINE: " + record(line) + "\n"; };
    struct Case {
        std::string text, out, message;
    };
    const Case cases[] = {
        // The echo shows the line as examined: upper-cased, the comment blanked.
        {"atoms\n Xy 0.0 0.0 0.0 ! what\nend\n",
         "Unknown atomtype found: XY\n" + echo(" XY 0.0 0.0 0.0       "), "Unknown atomtype found"},
        {"ATOMS Z-MATRIX\nC 0 0 0\nH 1 1.09\nEND\n", "", "Internal error#571"},
        {"ATOMS Z-MATRIX\nC 0 0 0\nH 1 0 0 R\nEND\n",
         "Error on line: \n" + record("H 1 0 0 R") + "\n", "Error reading Z-matrix"},
        {"ATOMS Z-MATRIX\nC\nEND\n", "", "Internal error#571"},
        // Comments are not removed inside GEOVAR: a comment line is a variable without a value.
        {"geovar\n r 1.0 ! bond\n ! angles\nend\n", "Error on line:\n" + record(" ! ANGLES") + "\n",
         "Error reading GEOVAR block"},
        {"ATOMS ALL\nC 0.0 0.0 0.0\nEND\n", "", "No atoms found"},
        {"ATOMS\nEND\n", "", "No atoms found"},
    };
    for (const Case& c : cases) {
        const Read r = run(c.text);
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, "readadfinp") << c.text;
    }
}

} // namespace
