#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;

Read run(std::string text, long long idgeo = -1) {
    Read r;
    r.s.idgeo = idgeo;
    readinto(r, &readpsi4, std::move(text));
    return r;
}

const std::string header =
    "       Center              X                  Y                   Z      "
    "         Mass       \n"
    "    ------------   -----------------  -----------------  ---------\n";
const std::string inbohr = "    Geometry (in Bohr), charge = 0, multiplicity = 1:\n\n";

// A table of two atoms at the origin and at distance d on z, in the length unit of its values.
std::string table(const std::string& a, const std::string& b, double d) {
    return header + "  " + a + "  0.0 0.0 0.0  15.99\n  " + b + "  0.0 0.0 " + std::to_string(d) +
           "  1.008\n\n";
}

TEST(Readpsi4, TableBeforeAnyUnitsLineIsInAngstrom) {
    const double d = 0.96;
    // Also when the last units line of the file is Bohr.
    const Read single = run(table("O", "H", d) + inbohr);
    ASSERT_EQ(single.message, "") << single.out;
    EXPECT_EQ(single.s.ngeom, 0);
    EXPECT_DOUBLE_EQ(single.s.xyz(3, 2), d / bohr);
    const Read first = run(inbohr + table("O", "H", 2.0));
    EXPECT_DOUBLE_EQ(first.s.xyz(3, 2), 2.0);
}

TEST(Readpsi4, GradientTableSkipped) {
    const std::string grad = "                 SCF GRAD\n";
    // A gradient before the first table: that table is skipped and the next one defines the
    // atoms. A single later geometry does not replace them.
    const Read late =
        run(grad + table("O", "H", 7.0) + table("O", "H", 1.0) + table("O", "H", 1.2));
    ASSERT_EQ(late.message, "") << late.out;
    EXPECT_EQ(late.s.ngeom, 1);
    EXPECT_DOUBLE_EQ(late.s.xyz(3, 2), 1.0 / bohr);
}

TEST(Readpsi4, Labels) {
    const std::string text = header + "  J.N 0.0 0.0 0.0\n  GH.C 1.0 0.0 0.0\n  C.1 0.0 1.0 0.0\n"
                                      "  cl 0.0 0.0 1.0\n  Gh.He 1.0 1.0 1.0\n\n";
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 5);
    const int iat[] = {7, 6, 6, 17, 2};
    const int idesp[] = {1, 2, 0, 0, 2};
    for (int a = 1; a <= 5; ++a) {
        EXPECT_EQ(r.s.iat(a), iat[a - 1]) << a;
        EXPECT_EQ(r.s.idesp(a), idesp[a - 1]) << a;
    }
    EXPECT_EQ(r.s.inpcoor, 1);
}

const std::string freqheader = "  Index   Frequency (cm-1)   Intensity (km/mol)\n"
                               "  ---------------------------------------------\n";

std::string mode(int m, const std::string& lines) {
    return "   Mode " + std::to_string(m) + "   Frequency (cm-1):  1000.0\n" +
           "    Atom      ---- Displacements (x/y/z) ----\n" + lines;
}

TEST(Readpsi4, FrequenciesAndModes) {
    // The first table lists more modes than the last one, which gives the count: its mode 3 is
    // passed over. Lines after the zero-point energy are not modes.
    const std::string text = table("O", "H", 1.0) + freqheader +
                             "   1   100.5   1.5\n   2   200.5   2.5\n   3   300.5   3.5\n\n" +
                             freqheader + "   1   110.5   11.5\n   2   220.5   22.5\n" +
                             "   Zero-point energy   0.01\n   3   999.0   9.0\n" +
                             mode(2, "  1 O  0.1 0.2 0.3\n  2 H  -0.4 -0.5 -0.6\n") +
                             mode(1, "  1 O  1.0 0.0 0.0\n");
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 2);
    EXPECT_EQ(r.s.vibs(1), 110.5);
    EXPECT_EQ(r.s.vibs(2), 220.5);
    EXPECT_EQ(r.s.frqintns(1), 11.5);
    EXPECT_EQ(r.s.frqintns(2), 22.5);
    EXPECT_EQ(r.s.vibvec(1, 1, 2), 0.1);
    EXPECT_EQ(r.s.vibvec(3, 2, 2), -0.6);
    // The file ends inside the last displacement table: the atoms read so far keep theirs.
    EXPECT_EQ(r.s.vibvec(1, 1, 1), 1.0);
    EXPECT_EQ(r.s.vibvec(1, 2, 1), 0.0);

    // A frequency table left open at the end of the file does not reach into its first lines.
    const Read open =
        run("  1   5.0   6.0\n" + table("O", "H", 1.0) + freqheader + "   2   200.5   2.5\n");
    ASSERT_EQ(open.message, "") << open.out;
    ASSERT_EQ(open.s.nvib, 2);
    EXPECT_EQ(open.s.vibs(1), 0.0);
    EXPECT_EQ(open.s.vibs(2), 200.5);
}

TEST(Readpsi4, PrematureEnds) {
    const std::string xyz = "premature end of Psi4 output file while reading XYZ\n";
    // Each pass meets the end inside the first table; the atoms read so far stay.
    Read r = run(header + "  O 0.0 0.0 0.0\n  H 0.0 0.0 1.0");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, xyz + xyz);
    EXPECT_EQ(r.s.nat, 2);

    r = run(table("O", "H", 1.0) + table("O", "H", 1.1) + header + "  O 0.0 0.0 0.0\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "premature end of Psi4 output file while reading Geom.Upd. Continuing...\n");
    EXPECT_EQ(r.s.ngeom, 1);

    r = run(header.substr(0, header.find('\n') + 1));
    EXPECT_EQ(r.out, xyz);
    EXPECT_EQ(r.message, "premature end of Psi4 output");
    EXPECT_EQ(r.routine, "readpsi4");
}

TEST(Readpsi4, Failures) {
    const std::string bad = "  Q1  0.0 0.0 0.0";
    struct Case {
        std::string text, out, message, routine;
    };
    const Case cases[] = {
        {"no table here\n", "NAT is 0 (zerooooo!!!) stopping now ...\n", "No ATOMS found",
         "readpsi4"},
        {header + bad + "\n\n",
         "2Unable to extract ATOMlabel from next line (tried with Q1)\n" + record(bad) + "\n",
         "Unable to find ATOMlabel", "readpsi4->xyz"},
        {table("O", "H", 1.0) + "  Atom      ---- Displacements (x/y/z) ----\n", "",
         "IDMODE cannot be 0", "readpsi4"},
        {table("O", "H", 1.0) + freqheader + "  1  100.0  1.0\n\n" + mode(2, "  1 O 0.0 0.0 1.0\n"),
         "", "Mode number outside the counted modes", "readpsi4"},
        // A table shorter than the atoms swallows the gradient line in the storing pass only, so
        // the table after it would be one geometry more than counted.
        {table("O", "H", 1.0) + header + "  O 0.0 0.0 0.0\n SCF GRAD\n" + table("O", "H", 1.1), "",
         "More geometries than counted", "readpsi4"},
        // A line with both markers counts as a units line but stores as a gradient line, so the
        // only table is skipped when storing.
        {"SCF GRAD Geometry (in Bohr)\n" + table("O", "H", 1.0), "", "No atoms found", "readpsi4"},
    };
    for (const Case& c : cases) {
        const Read r = run(c.text);
        EXPECT_EQ(r.out, c.out) << c.text;
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, c.routine) << c.text;
    }
}

} // namespace
