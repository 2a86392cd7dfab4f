#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Read run(std::string text) {
    Read r;
    readinto(r, &readcfour, std::move(text));
    return r;
}

const std::string rule = " ----------------------------------------------------------------\n";

// A geometry table as printed: the head, a column line and a rule, the rows, and a closing rule.
std::string table(const std::string& rows, const std::string& end = rule) {
    return rule + " Z-matrix   Atomic            Coordinates (in bohr)\n" +
           "  Symbol    Number           X              Y              Z\n" + rule + rows + end;
}

std::string water(const std::string& z) {
    return "     O         8         0.00000000     0.00000000     " + z + "\n" +
           "     X         0         0.00000000     0.00000000     2.00000000\n"
           "     XX        0         9.00000000     9.00000000     9.00000000\n"
           "     h         1         0.00000000    -1.49418706    -1.02744631\n"
           "     J.H       1         0.00000000     1.49418706    -1.02744631\n";
}

std::string energy(const std::string& value) {
    return "               E(CCSD(T))         =        " + value + "\n";
}

std::string calclevel(const std::string& method) {
    return "       CALCLEVEL            ICLLVL         " + method + "     [ 22]    ***   \n";
}

TEST(Readcfour, GeometrySequence) {
    // Each energy follows the table of its geometry; a table may also end at a blank line; an
    // energy line inside a table is not read, nor is the announcement of the method.
    const Read r =
        run(calclevel("CCSD(T)") + "  CCSD(T) energy will be calculated.\n" + table(water("0.1")) +
            energy("-76.1") + table(water("0.2"), "\n") + energy("-76.2") +
            table(water("0.3") + energy("-99.0")) + energy("-76.3") + table(water("0.4")) +
            energy("-76.4") + "  The final electronic energy is       -76.4 a.u.\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.s.nat, 4); // the "XX" row is no atom, the "X" row a dummy centre
    EXPECT_EQ(r.s.ngeom, 4);
    EXPECT_EQ(r.s.nvib, 0);
    EXPECT_EQ(r.s.inpcoor, 1);
    EXPECT_EQ(r.s.iat(1), 8);
    EXPECT_EQ(r.s.iat(2), 94);
    EXPECT_EQ(r.s.iat(3), 1);
    EXPECT_EQ(r.s.iat(4), 1);
    const double z[] = {0.1, 0.2, 0.3, 0.4};
    for (int g = 1; g <= 4; ++g) {
        EXPECT_EQ(r.s.egeo(g), -76.0 - 0.1 * g) << g;
        EXPECT_EQ(r.s.xgeo(3, 1, g), z[g - 1]) << g;
        EXPECT_EQ(r.s.xgeo(2, 4, g), 1.49418706) << g;
    }
    EXPECT_EQ(r.s.energy, -76.4);
    // Coordinates are Bohr as printed; the final structure is the fourth table.
    EXPECT_EQ(r.s.xyz(3, 1), 0.4);
    EXPECT_EQ(r.s.xyz(3, 2), 2.0);
    EXPECT_EQ(r.s.xyz(3, 4), -1.02744631);
}

TEST(Readcfour, GeometriesWithoutTheirOwnEnergy) {
    // Tables printed before one energy all take it; a later energy before the next table is
    // passed over for the geometries but is the run's last energy, which a table that no energy
    // follows takes. A table cut off by the end of the file is not stored.
    const Read r = run(calclevel("CCSD(T)") + table(water("0.1")) + table(water("0.2")) +
                       energy("-76.2") + energy("-76.25") + table(water("0.3")) + rule +
                       " Z-matrix   Atomic            Coordinates (in bohr)\n\n\n" + water("0.7"));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.ngeom, 3);
    EXPECT_EQ(r.s.nat, 4);
    EXPECT_EQ(r.s.egeo(1), -76.2);
    EXPECT_EQ(r.s.egeo(2), -76.2);
    EXPECT_EQ(r.s.egeo(3), -76.25);
    EXPECT_EQ(r.s.energy, -76.25);
    EXPECT_EQ(r.s.xyz(3, 1), 0.3);
}

TEST(Readcfour, EnergyOfTheMethod) {
    // Every run prints the energies of the methods below its own; only its own pairs with the
    // geometries. A method without an energy line here takes the run's final energy.
    const std::string energies = "     E(SCF)=       -76.01              0.1D-07\n"
                                 "            Total MP2 energy        =    -76.02 a.u.\n"
                                 "      The total energy is           -76.03 a.u.\n" +
                                 energy("-76.04");
    struct Case {
        std::string method;
        double energy;
    };
    const Case cases[] = {{"SCF", -76.01},     {"MBPT(2)", -76.02}, {"CCSD", -76.03},
                          {"CCSD(T)", -76.04}, {"CC3", -76.5},      {"", -76.5}};
    for (const Case& c : cases) {
        const Read r =
            run((c.method.empty() ? "" : calclevel(c.method)) + table(water("0.1")) + energies +
                table(water("0.2")) + "  The final electronic energy is       -76.5 a.u.\n");
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.egeo(1), c.energy) << c.method;
        EXPECT_EQ(r.s.egeo(2), -76.5) << c.method;
        EXPECT_EQ(r.s.energy, -76.5) << c.method;
    }
}

TEST(Readcfour, SingleAtom) {
    // Without a geometry table the atoms come from the basis-set listing, once.
    const std::string listing = "  ATOMIC TYPE NUMBER  1 :\n"
                                "    NUCLEAR COORDINATES (IN A.U.) ARE :\n"
                                "\n"
                                "    C #1        0.1        0.2        0.3\n"
                                "--------------------------------------\n";
    const Read r = run(calclevel("SCF") + listing + "     E(SCF)=       -37.6   0.8D-12\n" +
                       listing + "     E(SCF)=       -37.7   0.8D-12\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 1);
    EXPECT_EQ(r.s.ngeom, 1);
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.xyz(3, 1), 0.3);
    EXPECT_EQ(r.s.egeo(1), -37.6);
    EXPECT_EQ(r.s.energy, -37.7);
}

TEST(Readcfour, FrequenciesAndModes) {
    // Rotations and translations are not modes; an imaginary frequency is negative and its
    // intensity is the first real. Each mode block fills the next modes; a row with the wrong
    // number of reals is reported and left at zero. Column 14 is opened up, so a first number
    // that runs into the second reads as two.
    const std::string rows = "     O         8         0.0     0.0     0.1\n"
                             "     H         1         0.0    -1.4    -1.0\n"
                             "     H         1         0.0     1.4    -1.0\n";
    const Read r =
        run(table(rows) + "      ----                 0.3638i        0.0000       ROTATION  \n"
                          "        B2               123.4567i        0.0000       VIBRATION \n"
                          "        A1              1234.5678        12.3456       VIBRATION \n"
                          "        B2              3799.1234        45.6789       VIBRATION \n"
                          "\n"
                          "                B2                        A1\n"
                          "             VIBRATION                 VIBRATION \n"
                          " O     -0.100-0.2000  0.3000    0.0000  0.0000  0.1707\n"
                          " H      0.100 0.2000  0.3000    0.0000  0.0000  0.1707\n"
                          " H      0.100 0.2000 -0.3000    0.0000  0.0000  0.1707\n"
                          "             VIBRATION \n"
                          " O      0.000 0.0000  0.5000\n"
                          " H      0.000 0.0000\n"
                          " H      0.000 0.0000 -0.5000\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "Error reading normal mode vectors\n");
    ASSERT_EQ(r.s.nvib, 3);
    EXPECT_EQ(r.s.vibs(1), -123.4567);
    EXPECT_EQ(r.s.frqintns(1), 0.0);
    EXPECT_EQ(r.s.vibs(2), 1234.5678);
    EXPECT_EQ(r.s.frqintns(2), 12.3456);
    EXPECT_EQ(r.s.vibs(3), 3799.1234);
    EXPECT_EQ(r.s.frqintns(3), 45.6789);
    EXPECT_EQ(r.s.vibvec(1, 1, 1), -0.1);
    EXPECT_EQ(r.s.vibvec(2, 1, 1), -0.2);
    EXPECT_EQ(r.s.vibvec(3, 3, 1), -0.3);
    EXPECT_EQ(r.s.vibvec(3, 2, 2), 0.1707);
    EXPECT_EQ(r.s.vibvec(3, 1, 3), 0.5);
    EXPECT_EQ(r.s.vibvec(3, 2, 3), 0.0);
    EXPECT_EQ(r.s.vibvec(3, 3, 3), -0.5);
    EXPECT_EQ(r.s.ngeom, 1);
    EXPECT_EQ(r.s.xyz(2, 2), -1.4);
}

TEST(Readcfour, ImaginaryFrequencies) {
    const std::string rows = "     H         1         0.0     0.0     0.0\n";
    struct Case {
        std::string line;
        double frequency, intensity;
    };
    const Case cases[] = {
        {"B2 123.4567i 0.0000 VIBRATION", -123.4567, 0.0},
        {"Au 12i 3.5 VIBRATION", -12.0, 3.5},
        {"Bu 1.5E+03i 2.0 VIBRATION", -1500.0, 2.0},
        {"A1 1234.5678 12.3456 VIBRATION", 1234.5678, 12.3456},
    };
    for (const Case& c : cases) {
        const Read r = run(table(rows) + c.line + "\n");
        ASSERT_EQ(r.message, "") << c.line << '\n' << r.out;
        ASSERT_EQ(r.s.nvib, 1);
        EXPECT_EQ(r.s.vibs(1), c.frequency) << c.line;
        EXPECT_EQ(r.s.frqintns(1), c.intensity) << c.line;
    }
}

TEST(Readcfour, Failures) {
    const auto echo = [](std::string_view line) { return "LINE: " + record(line) + "\n"; };
    const std::string one = "     C         6         0.0     0.0     0.0\n";
    const std::string two = one + "     O         8         0.0     0.0     2.1\n";
    const std::string block = "  VIBRATION VIBRATION\n"
                              "C 0.1 0.2 0.3 0.4 0.5 0.6\n";
    struct Case {
        std::string text, out, message;
    };
    const Case cases[] = {
        {"", "", "No atoms found"},
        {"A1 1234.5678 12.3456 VIBRATION\n", "", "No atoms found"},
        {table("     Q         0         0.0     0.0     0.0\n"),
         "Unknown atomtype found: Q \n" + echo("     Q         0         0.0     0.0     0.0"),
         "Unknown atomtype found"},
        {table("     GH.Q1     0         0.0     0.0     0.0\n"),
         "Unknown atomtype found: Q1\n" + echo("     GH.Q1     0         0.0     0.0     0.0"),
         "Unknown atomtype found"},
        // Only the last table is counted; an earlier, larger one must not run past the store,
        // nor may a smaller one leave another table's atoms in its geometry.
        {table(two) + table(one), "", "More atoms than counted"},
        {table(one) + table(two), "", "Geometry tables differ in their number of atoms"},
        // Two modes in the block, one frequency line counted.
        {table(one) + "A1 1234.5678 12.3456 VIBRATION\n" + block, "", "More modes than counted"},
        {table(one) + "B2 abc 0.0 VIBRATION\n",
         "Frequency not readable: abc\n" + echo("B2 abc 0.0 VIBRATION"), "Error reading frequency"},
        {table(one) + "B2 x1.5i 0.0 VIBRATION\n",
         "Frequency not readable: x1.5i\n" + echo("B2 x1.5i 0.0 VIBRATION"),
         "Error reading frequency"},
        {rule + " Z-matrix   Atomic            Coordinates (in bohr)\n\n\n" + one, "",
         "No complete geometry found"},
    };
    for (const Case& c : cases) {
        const Read r = run(c.text);
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, "readcfour") << c.text;
    }
}

} // namespace
