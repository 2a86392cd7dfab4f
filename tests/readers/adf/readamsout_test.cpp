#include "control/control.h"
#include "control/files.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr double bohr = 0.5291772484779358;

struct Read {
    Store s;
    std::string message, routine, out;
    bool plain = false;
};

// Runs the reader on the text of an output file; keeps what it printed and how it ended.
Read run(const std::string& text, long long idgeo = -1) {
    Read r;
    r.s.idgeo = idgeo;
    InputFile in(text);
    testing::internal::CaptureStdout();
    try {
        readamsout(r.s, in);
    } catch (const RunError& e) {
        r.message = e.what();
        r.routine = e.routine;
        r.plain = e.plain;
    }
    r.out = testing::internal::GetCapturedStdout();
    return r;
}

// An "Index Symbol" table of water whose oxygen lies at z.
std::string index(double z) {
    return "Atoms\n  Index Symbol   x (angstrom)   y (angstrom)   z (angstrom)\n"
           "      1  O  0.0  0.0  " +
           std::to_string(z) + "\n      2  H  0.0  0.75  -0.47\n      3  H  0.0  -0.75  -0.47\n\n";
}

std::string xyztable(const std::vector<std::string>& atoms) {
    std::string t = " =====      X Y Z      CHARGE\n    (Angstrom)\n    -------\n";
    for (const std::string& a : atoms) {
        t += a + "\n";
    }
    return t + "\n";
}

const std::string frequencies = " Index   Frequency (cm-1)   Intensity (km/mol)\n"
                                "     7   100.5   1.5\n     8   200.5   2.5\n     9   300.5   3.5\n"
                                " Zero-point energy (Hartree):   0.0036\n";

std::string mode(int index, double dx) {
    return "Index: " + std::to_string(index) + "  Frequency (cm-1):  1.0\n" +
           " Atom      ---- Displacements (x/y/z) ----\n    1  O  " + std::to_string(dx) +
           "  0.0  0.0\n    2  H  0.0  " + std::to_string(dx) + "  0.0\n    3  H  0.0  0.0  " +
           std::to_string(dx) + "\n";
}

// Labels decode as in the ADF tables; the atoms go into the open geometry, failures name this
// reader.
TEST(ReadAmsOut, InnerRoutinesFillTheOpenGeometry) {
    Store s;
    s.nat = 2;
    s.ngeom = 2;
    allocstuff(s);
    s.nat = 0;
    InputFile in("  1  Gh.C  1.0  2.0  3.0\n  2  Cl.2  -1.0  0.0  0.5\n");
    testing::internal::CaptureStdout();
    readamsoutxyz2(s, in, true);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "premature end of ADF output file while reading XYZ\n");
    ASSERT_EQ(s.nat, 2);
    EXPECT_EQ(s.iat(1), 6);
    EXPECT_EQ(s.idesp(1), 2);
    EXPECT_EQ(s.iat(2), 17);
    EXPECT_EQ(s.xgeo(3, 1, 2), 3.0 / bohr);
    EXPECT_EQ(s.xgeo(1, 2, 2), -1.0 / bohr);
    EXPECT_EQ(s.xyz(1, 1), 0.0);

    struct Case {
        void (*routine)(Store&, InputFile&, bool);
        const char* table;
        const char* printed;
    };
    const Case cases[] = {
        {readamsoutxyz, "h1\nh2\n  Qq 0.0 0.0 0.0\n", "2Unable"},
        {readamsoutxyz2, "  Qq 0.0 0.0 0.0\n", "2Unable"},
        {readamslogxyz, "h\n  1.Qq 0.0 0.0 0.0\n", "3Unable"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        s.nat = 0;
        InputFile bad(c.table);
        testing::internal::CaptureStdout();
        try {
            c.routine(s, bad, true);
            ADD_FAILURE() << "an unknown label must end the run";
        } catch (const RunError& e) {
            EXPECT_STREQ(e.what(), "Unable to find ATOMlabel");
            EXPECT_EQ(e.routine, "readamsout->xyz");
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout().substr(0, 7), c.printed);
    }
}

// Only the first "X Y Z" table is stored; every "Index Symbol" table adds a geometry carrying
// the energy read before it; the last (or the IDGEO) geometry becomes the structure, also when
// there is just one.
TEST(ReadAmsOut, AtomTablesBecomeGeometries) {
    const std::string text =
        xyztable({"  1  O  0.0  0.0  0.1", "  2  H  0.0  0.8  -0.5", "  3  H  0.0  -0.8  -0.5"}) +
        "Total Bonding Energy:  -1.5\n" + index(0.2) + " new :  -1.75\n" +
        xyztable({"  1  O  0.0  0.0  9.0"}) + index(0.3);
    for (const long long idgeo : {-1LL, 1LL, 2LL, 3LL, 4LL}) {
        SCOPED_TRACE(idgeo);
        const Read r = run(text, idgeo);
        ASSERT_EQ(r.message, "") << r.out;
        ASSERT_EQ(r.s.ngeom, 3);
        EXPECT_EQ(r.s.egeo(1), 0.0);
        EXPECT_EQ(r.s.egeo(2), -1.5);
        EXPECT_EQ(r.s.egeo(3), -1.75);
        EXPECT_EQ(r.s.xgeo(3, 1, 1), 0.1 / bohr);
        const long long chosen = idgeo >= 1 && idgeo <= 3 ? idgeo : 3;
        EXPECT_EQ(r.s.xyz(3, 1), r.s.xgeo(3, 1, chosen));
    }
    const Read one = run(index(0.2));
    ASSERT_EQ(one.s.ngeom, 1);
    EXPECT_EQ(one.s.xyz(3, 1), 0.2 / bohr);
}

// The first listed mode becomes mode 1; lines whose index falls outside the counted modes are
// passed over; a blank line ends the table as the zero-point line does.
TEST(ReadAmsOut, FrequencyTableAndModes) {
    const Read r = run(index(0.1) + frequencies + mode(8, 0.5) + mode(9, 0.25) +
                       "Index: 7  Frequency (cm-1):  1.0\n"
                       " Atom      ---- Displacements (x/y/z) ----\n    1  O  0.125  0.0  0.0\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 3);
    EXPECT_EQ(r.s.vibs(1), 100.5);
    EXPECT_EQ(r.s.vibs(3), 300.5);
    EXPECT_EQ(r.s.frqintns(2), 2.5);
    EXPECT_EQ(r.s.vibvec(1, 1, 2), 0.5);
    EXPECT_EQ(r.s.vibvec(3, 3, 3), 0.25);
    // The mode-7 table is cut after its first atom: that atom stays, the others keep zero.
    EXPECT_EQ(r.s.vibvec(1, 1, 1), 0.125);
    EXPECT_EQ(r.s.vibvec(2, 2, 1), 0.0);

    const Read gap =
        run(index(0.1) + " Index   Frequency (cm-1)   Intensity (km/mol)\n"
                         "     7   100.5   1.5\n     12   900.5   9.5\n\n     8   200.5   2.5\n");
    ASSERT_EQ(gap.s.nvib, 2);
    EXPECT_EQ(gap.s.vibs(1), 100.5);
    EXPECT_EQ(gap.s.vibs(2), 0.0);
}

// A frequency-scan table replaces the matched frequencies.
TEST(ReadAmsOut, FrequencyScan) {
    const Read r = run(index(0.1) + frequencies +
                       " Old      New                X         Y         Z\n"
                       "  200.5   210.0\n ========\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_TRUE(r.s.lscanfreq);
    EXPECT_EQ(r.s.vibs(2), 210.0);
    EXPECT_EQ(r.s.fscanfreq(1, 2), 200.5);
    EXPECT_EQ(r.s.fscanfreq(2, 2), 210.0);
    EXPECT_EQ(r.s.vibs(1), 100.5);
}

// Nothing is written past what the first pass counted.
TEST(ReadAmsOut, OverflowsEndTheRun) {
    struct Case {
        std::string text;
        const char* message;
    };
    const std::string cycle = "  Coordinates in Geometry Cycle\n h\n 1.O 0.0 0.0 0.1\n"
                              " 2.H 0.0 0.8 -0.5\n 3.H 0.0 -0.8 -0.5\n";
    const Case cases[] = {
        // The first "X Y Z" table is the one stored, the last one gave the count.
        {xyztable({"  1  O  0.0  0.0  0.1", "  2  H  0.0  0.8  -0.5", "  3  H  0.0  -0.8  -0.5",
                   "  4  H  0.0  0.0  1.0"}) +
             index(0.2),
         "More atoms than counted"},
        // A FREQUENCIES run counts its variables table but stores the cycles behind it.
        {"  *  R U N   T Y P E : FREQUENCIES  *\n" + index(0.2) +
             " Geometric Variables\n h\n h\n 1 O 0 0 0\n 2 H 0 0 0\n 3 H 0 0 0\n" + cycle + cycle,
         "More geometries than counted"},
        {index(0.1) + frequencies + mode(5, 0.5), "IDMODE outside the modes counted"},
        {index(0.1) + mode(7, 0.5), "IDMODE outside the modes counted"},
        {index(0.1) + frequencies + mode(7, 0.5).substr(mode(7, 0.5).find('\n') + 1),
         "IDMODE cannot be 0"},
        {"nothing here\n", "No ATOMS found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const Read r = run(c.text);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.routine, "readamsout");
    }
}

// The first cycle table defines the atoms and is geometry 1; a FRAGMENTS table before it is
// passed over; variables tables of an optimisation are geometries in Bohr.
TEST(ReadAmsOut, CyclesFragmentsAndVariables) {
    const std::string cycle = "  Coordinates in Geometry Cycle\n h\n 1.O 0.0 0.0 0.1\n"
                              " 2.H 0.0 0.8 -0.5\n 3.H 0.0 -0.8 -0.5\n >>>> CORORT\n";
    const Read r = run(" FRAGMENTS\n h\n h\n" + cycle + " new : -2.0\n" +
                           " Geometric Variables\n h\n h\n 1 O 0.0 0.0 7.0\n 2 H 0.0 0.0 0.0\n"
                           " 3 H 0.0 0.0 0.0\n",
                       1);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 2);
    EXPECT_EQ(r.s.xgeo(3, 1, 1), 0.1 / bohr);
    EXPECT_EQ(r.s.xgeo(3, 1, 2), 7.0);
    EXPECT_EQ(r.s.egeo(2), -2.0);
    EXPECT_EQ(r.s.xyz(3, 1), 0.1 / bohr); // IDGEO 1

    // The last job holds only a FRAGMENTS table, cut short: nothing to store.
    const Read cut =
        run(" Fragment File(s)\n" + index(0.1) + " Fragment File(s)\n FRAGMENTS\n h\n");
    EXPECT_EQ(cut.out, "premature end of ADF output file while reading LOG Continuing...\n");
    EXPECT_TRUE(cut.plain);
    EXPECT_EQ(cut.message, "no geo read");
}

} // namespace
