#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;

Read run(std::string text) {
    Read r;
    readinto(r, &readmopout, std::move(text));
    return r;
}

const std::string head = "     ATOM     ELEMENTAL            CARTESIAN COORDINATES\n";

TEST(Readmopout, FirstTableOnly) {
    // The two lines after the head are skipped whatever they hold; the atom number is an integer
    // and no coordinate; the first blank line ends the table and the reader.
    const std::string first = "    NUMBER     SYMBOL      X            Y            Z\n"
                              "\n"
                              "      1         C         0.0          0.0          1.0\n"
                              "      2         H         0.0          1.0          0.0\n"
                              "      3         O         1 0 0\n"
                              "\n"
                              "      4         N         0.0          0.0          0.0\n";
    const std::string second = "\n\n"
                               "      1         N         5.0          5.0          5.0\n\n";
    const Read r =
        run(" CARTESIAN COORDINATES\n  1 Cl 0.0 0.0 0.0\n" + head + first + head + second);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 3);
    EXPECT_EQ(r.s.inpcoor, 1);
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.iat(2), 1);
    EXPECT_EQ(r.s.iat(3), 8);
    EXPECT_EQ(r.s.xyz(3, 1), 1.0 / bohr);
    EXPECT_EQ(r.s.xyz(1, 1), 0.0);
    EXPECT_EQ(r.s.xyz(2, 2), 1.0 / bohr);
    // With fewer than three reals, the first three numbers are the coordinates, the atom number
    // among them.
    EXPECT_EQ(r.s.xyz(1, 3), 3.0 / bohr);
    EXPECT_EQ(r.s.xyz(2, 3), 1.0 / bohr);
    EXPECT_EQ(r.s.xyz(3, 3), 0.0);
}

TEST(Readmopout, Failures) {
    const auto echo = [](std::string_view line) { return "LINE: " + record(line) + "\n"; };
    struct Case {
        std::string text, out, message;
    };
    const Case cases[] = {
        // A bare table head without atoms, and a table cut off by the end of the file.
        {"          CARTESIAN COORDINATES\n\n    NO.  ATOM  X  Y  Z\n\n  HEAT\n", "",
         "No atoms found"},
        {"          CARTESIAN COORDINATES\n\n   1    C   0.1   0.2   0.3\n", "", "No atoms found"},
        {head + "a\nb\n\n  1 C 0.0 0.0 0.0\n", "", "No atoms found"},
        {head + "a\n", "", "No atoms found"},
        {head + "a\nb\n  C 0.0 0.0\n", "Not enough reals found:  2\n" + echo("  C 0.0 0.0"),
         "Not enough reals on line"},
        {head + "a\nb\n  1 Q 0.0 0.0 0.0\n",
         "Unknown atomtype found: Q \n" + echo("  1 Q 0.0 0.0 0.0"), "Unknown atomtype found"},
        {head + "a\nb\n  1 0.0 0.0 0.0\n",
         "Not enough strings found:  0\n" + echo("  1 0.0 0.0 0.0"), "Not enough strings on line"},
    };
    for (const Case& c : cases) {
        const Read r = run(c.text);
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, "readmopout") << c.text;
    }
}

} // namespace
