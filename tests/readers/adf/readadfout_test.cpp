#include "control/control.h"
#include "control/files.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include "readers/readertest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr double bohr = 0.5291772484779358;

// Runs the reader on the text of an output file; keeps what it printed and how it ended.
Read run(std::string text, long long job = 0, long long idgeo = -1) {
    Read r;
    r.s.job = job;
    r.s.idgeo = idgeo;
    readinto(r, &readadfout, std::move(text));
    return r;
}

std::string atoms(const std::vector<std::string>& lines) {
    std::string t = " =====                            X Y Z                    CHARGE\n"
                    "                                (Angstrom)\n"
                    "                       ----------------------\n";
    for (const std::string& l : lines) {
        t += l + "\n";
    }
    return t + "\n";
}

const std::string water =
    atoms({"    1  O   0.0000    0.0000    0.1173", "    2  H   0.0000    0.7572   -0.4692",
           "    3  H   0.0000   -0.7572   -0.4692"});

// A coordinate table printed with the optimisation variables, x in Bohr as given.
std::string variables(double x) {
    std::string t = " Coordinates (Cartesian)\n =====\n\n"
                    "     Atom      bohr      angstrom     Geometric Variables\n"
                    "               X    Y    Z\n ------------\n";
    for (int a = 1; a <= 3; ++a) {
        t += "  " + std::to_string(a) + " O  " + std::to_string(x + a) + "  0.5  -0.5   1 2 3\n";
    }
    return t + " ------------\n";
}

std::string cycle(double x) {
    return "  Coordinates in Geometry Cycle\n    Atom   X   Y   Z   (Angstrom)\n"
           "    1.O  " +
           std::to_string(x) + "  0.0  0.0\n    2.H  0.0  " + std::to_string(x) +
           "  0.0\n    3.H  0.0  0.0  " + std::to_string(x) + "\n >>>> CORORT\n";
}

const std::string intensityheader = "     Frequency   Dipole Strength    Absorption Intensity\n"
                                    "       cm-1           1e-40 esu2 cm2          km/mole\n"
                                    "    ----------    ----------     ----------\n";

std::string intensities(const std::vector<std::string>& rows) {
    std::string t = intensityheader;
    for (const std::string& r : rows) {
        t += r + "\n";
    }
    return t + "\n";
}

const std::string modeheader =
    " Vibrations and Normal Modes  ***  (cartesian coordinates, NOT mass-weighted)  ***\n"
    " ===========================\n\n";

// The label decoding of both atom tables, through the inner routines themselves.
TEST(ReadAdfOut, AtomLabels) {
    struct Case {
        bool cycletable;
        const char* label;
        int iat;
        int idesp;
        const char* failure; // printed line, or empty
    };
    const Case cases[] = {
        {false, "C", 6, 0, ""},
        {false, "Gh.C", 6, 2, ""},
        {false, "J.C", 6, 1, ""},
        {false, "C.1", 6, 0, ""},
        {false, "Cl", 17, 0, ""},
        {false, "co", 27, 0, ""},
        {false, "Gh.H.2", 1, 2, ""},
        {false, "XX", 94, 0, ""},
        {false, "Qq", 0, 0, "2Unable to extract ATOMlabel from next line (tried with QQ)"},
        {false, "3.C", 0, 0, "2Unable to extract ATOMlabel from next line (tried with 3 )"},
        {true, "3.C", 6, 0, ""},
        {true, "12.Gh.C", 6, 2, ""},
        {true, "1.J.O", 8, 1, ""},
        {true, "4.Cl.2", 17, 0, ""},
        {true, "C", 6, 0, ""},
        {true, "1.Qq", 0, 0, "3Unable to extract ATOMlabel from next line (tried with QQ)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string line = std::string("  ") + c.label + "   1.0  -2.0  0.5  6.00";
        InputFile in((c.cycletable ? "header\n" : "header 1\nheader 2\n") + line + "\n\n");
        Store s;
        s.nat = 1;
        allocstuff(s);
        s.nat = 0;
        std::string message, routine;
        testing::internal::CaptureStdout();
        try {
            if (c.cycletable) {
                readadflogxyz(s, in, true);
            } else {
                readadfoutxyz(s, in, true);
            }
        } catch (const RunError& e) {
            message = e.what();
            routine = e.routine;
        }
        const std::string out = testing::internal::GetCapturedStdout();
        if (*c.failure != '\0') {
            EXPECT_EQ(out, std::string(c.failure) + "\n" + record(line) + "\n");
            EXPECT_EQ(message, "Unable to find ATOMlabel");
            EXPECT_EQ(routine, "readadfout->xyz");
            continue;
        }
        ASSERT_EQ(message, "") << out;
        ASSERT_EQ(s.nat, 1);
        EXPECT_EQ(s.iat(1), c.iat);
        EXPECT_EQ(s.idesp(1), c.idesp);
        EXPECT_EQ(s.xyz(1, 1), 1.0 / bohr);
        EXPECT_EQ(s.xyz(2, 1), -2.0 / bohr);
        EXPECT_EQ(s.xyz(3, 1), 0.5 / bohr);
    }
}

// Counting neither decodes nor fails; it only counts the lines up to the end of the table.
TEST(ReadAdfOut, CountingDoesNotDecode) {
    Store s;
    InputFile in("h1\nh2\n  Qq 1.0 2.0 3.0\n  ?? \n\n  C 0.0 0.0 0.0\n");
    readadfoutxyz(s, in, false);
    EXPECT_EQ(s.nat, 2);
    InputFile log("h\n 1.Qq 1.0 2.0 3.0\n 2.C 0.0 0.0 0.0\n the coordinates end\n 3.C 0 0 0\n");
    s.nat = 0;
    readadflogxyz(s, log, false);
    EXPECT_EQ(s.nat, 2);
}

TEST(ReadAdfOut, SinglePoint) {
    const Read r = run(water + "Total Bonding Energy:   -0.708251610392847   -19.27\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.s.nat, 3);
    EXPECT_EQ(r.s.ngeom, 0);
    EXPECT_EQ(r.s.nvib, 0);
    EXPECT_EQ(r.s.nrjobs, 0);
    EXPECT_EQ(r.s.job, 0);
    EXPECT_EQ(r.s.energy, -0.708251610392847);
    EXPECT_EQ(r.s.xyz(3, 2), -0.4692 / bohr);
    EXPECT_EQ(r.s.inpcoor, 1);
}

// Each geometry takes the first energy printed after its table; further energies before the
// next table are passed over, and a table with none after it takes the run's last energy. IDGEO
// picks the final structure among two or more, anything outside the sequence picks the last.
TEST(ReadAdfOut, GeometrySequenceAndSelection) {
    const std::string text = water + "Total Bonding Energy:  -1.5\n" + variables(1.0) +
                             " new :  -1.75\n new :  -1.8\n" + variables(2.0) + variables(3.0) +
                             "current energy      -1.9 Hartree\n";
    for (const long long idgeo : {-1LL, 0LL, 1LL, 2LL, 3LL, 4LL}) {
        SCOPED_TRACE(idgeo);
        const Read r = run(text, 0, idgeo);
        ASSERT_EQ(r.message, "") << r.out;
        ASSERT_EQ(r.s.ngeom, 3);
        EXPECT_EQ(r.s.egeo(1), -1.75);
        EXPECT_EQ(r.s.egeo(2), -1.9);
        EXPECT_EQ(r.s.egeo(3), -1.9);
        EXPECT_EQ(r.s.energy, -1.9);       // the run's last, whichever geometry is chosen
        EXPECT_EQ(r.s.xgeo(1, 2, 1), 3.0); // Bohr as printed
        const long long chosen = idgeo >= 1 && idgeo <= 3 ? idgeo : 3;
        EXPECT_EQ(r.s.xyz(1, 1), double(chosen) + 1.0);
    }
    // One stored geometry leaves the atom table's coordinates.
    const Read one = run(water + variables(5.0), 0, 1);
    ASSERT_EQ(one.s.ngeom, 1);
    EXPECT_EQ(one.s.xyz(1, 1), 0.0);
    EXPECT_EQ(one.s.xgeo(1, 1, 1), 6.0);
}

// A run that prints each step in two frames: the sequence takes every "Coordinates (Cartesian)"
// table, the start geometry included, in the frame of the atom table; the tables in the input's
// orientation are passed over. A table printed in Angstrom only is converted.
TEST(ReadAdfOut, StepsPrintedInTwoFramesKeepTheAtomTableFrame) {
    const auto plain = [](double x, bool inbohr) {
        std::string t = " Coordinates (Cartesian)\n =====\n\n";
        t += inbohr ? "   Atom      bohr       angstrom\n" : "   Atom      angstrom\n";
        t += "               X    Y    Z\n ------------\n";
        for (int a = 1; a <= 3; ++a) {
            t += "  " + std::to_string(a) + " O  " + std::to_string(x + a) + "  0.5  -0.5\n";
        }
        return t + " ------------\n";
    };
    const std::string inputframe = " Coordinates (Cartesian, in Input Orientation)\n =====\n\n"
                                   "     Atom      bohr      angstrom     Geometric Variables\n"
                                   "               X    Y    Z\n ------------\n"
                                   "  1 O  9.0  9.0  9.0   1 2 3\n  2 O  9.0  9.0  9.0   4 5 6\n"
                                   "  3 O  9.0  9.0  9.0   7 8 9\n ------------\n";
    const Read r = run(water + plain(1.0, true) + " new :  -1.75\n" + plain(2.0, false) +
                       inputframe + " new :  -1.8\n" + plain(3.0, true) + inputframe +
                       "Total Bonding Energy:  -1.85\n NORMAL TERMINATION\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 3);
    EXPECT_EQ(r.s.xgeo(1, 1, 1), 2.0);
    EXPECT_EQ(r.s.xgeo(1, 1, 2), 3.0 / bohr);
    EXPECT_EQ(r.s.xgeo(1, 3, 3), 6.0);
    EXPECT_EQ(r.s.egeo(1), -1.75);
    EXPECT_EQ(r.s.egeo(2), -1.8);
    EXPECT_EQ(r.s.egeo(3), -1.85);
    EXPECT_EQ(r.s.xyz(1, 1), 4.0);
}

// In a FREQUENCIES run the coordinate tables are the displaced geometries: counted, not stored.
TEST(ReadAdfOut, FrequencyRunStoresNoGeometries) {
    const Read r =
        run("  *  R U N   T Y P E : FREQUENCIES  *\n" + water + variables(1.0) + variables(2.0));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.ngeom, 0);
    EXPECT_EQ(r.s.egeo.size(), 2); // room for what the first pass counted
    EXPECT_EQ(r.s.xyz(1, 1), 0.0);
}

TEST(ReadAdfOut, CyclesDefineAtomsWithoutAtomTable) {
    const Read r = run(cycle(1.0) + cycle(2.0) + cycle(3.0), 0, 1);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 3);
    EXPECT_EQ(r.s.iat(1), 8);
    ASSERT_EQ(r.s.ngeom, 2);
    EXPECT_EQ(r.s.xgeo(1, 1, 1), 2.0 / bohr);
    EXPECT_EQ(r.s.xyz(1, 1), 2.0 / bohr); // IDGEO 1
    // With a table of optimisation variables first, the cycles are not geometries again.
    const Read v = run(water + variables(1.0) + cycle(2.0));
    EXPECT_EQ(v.s.ngeom, 1);
}

TEST(ReadAdfOut, FragmentsTableGivesCoordinatesByAtomNumber) {
    const std::string frag = " FRAGMENTS\n =========   Atoms in this Fragment\n  ------\n"
                             "    1  O          1  O   0.100000   0.0   0.0\n"
                             "    2  H          3  H   0.300000   0.0   0.0\n"
                             "    3  H          2  H   0.200000   0.0   0.0\n";
    const Read r = run(water + frag);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.xyz(1, 2), 0.2 / bohr);
    EXPECT_EQ(r.s.xyz(1, 3), 0.3 / bohr);
    // Another string on the marker line: not the table.
    const Read other = run(water + " FRAGMENTS of the molecule\n" + frag.substr(11));
    EXPECT_EQ(other.s.xyz(1, 2), 0.0);
}

TEST(ReadAdfOut, IntensitiesAndNormalModes) {
    const std::string modes = modeheader +
                              "        -100.5     200.25    300.0\n  ------   -----   -----\n"
                              "  1.O  0.1 0.2 0.3  0.4 0.5 0.6  0.7 0.8 0.9\n"
                              "  2.H  1.1 1.2 1.3  1.4 1.5 1.6  1.7 1.8 1.9\n"
                              "  3.H  2.1 2.2 2.3  2.4 2.5 2.6  2.7 2.8\n"
                              "\n        400.0     500.0\n  ------   -----\n"
                              "  1.O  3.1 3.2 3.3  3.4 3.5 3.6\n"
                              "  2.H  4.1 4.2 4.3  4.4 4.5 4.6\n"
                              "  3.H  5.1 5.2 5.3  5.4 5.5 5.6\n"
                              "   7.0 8.0 9.0\n";
    // A partial table of one symmetry first: the last table gives the count.
    const Read r = run(water + intensities({"  200.25  1.0  7.5"}) +
                       intensities({"  -100.5  1.0  0.5", "  200.25  1.0  7.5", "  300.0  1.0  3.5",
                                    "  400.0  0.0  0.0", "  500.0  2.0  9.25"}) +
                       modes);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "Error reading normal mode vectors\n");
    ASSERT_EQ(r.s.nvib, 5);
    const double vibs[] = {-100.5, 200.25, 300.0, 400.0, 500.0};
    const double ints[] = {0.5, 7.5, 3.5, 0.0, 9.25};
    for (int m = 1; m <= 5; ++m) {
        EXPECT_EQ(r.s.vibs(m), vibs[m - 1]);
        EXPECT_EQ(r.s.frqintns(m), ints[m - 1]);
    }
    EXPECT_EQ(r.s.vibvec(1, 1, 1), 0.1);
    EXPECT_EQ(r.s.vibvec(3, 2, 3), 1.9);
    EXPECT_EQ(r.s.vibvec(3, 3, 3), 0.0); // the broken line left atom 3 unset in modes 1 to 3
    EXPECT_EQ(r.s.vibvec(1, 3, 2), 0.0);
    EXPECT_EQ(r.s.vibvec(2, 3, 5), 5.5);
    EXPECT_FALSE(r.s.lscanfreq);
}

// A header followed at once by a blank line counts no mode, and the block reads nothing.
TEST(ReadAdfOut, EmptyIntensityTable) {
    const Read r = run(water + intensityheader.substr(0, intensityheader.find("    ---")) + "\n" +
                       modeheader + " 100.0\n -----\n  1.O 1.0 1.0 1.0\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nvib, 0);
    EXPECT_EQ(r.s.vibs.size(), 0);
}

// An intensity table that runs to the end of the file is closed before the second pass, which
// starts again at the first line.
TEST(ReadAdfOut, OpenTableAtTheEnd) {
    const Read r =
        run("Total Bonding Energy:  -1.25\n" + water + intensityheader + " 10.0 0.0 2.5");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.energy, -1.25);
    ASSERT_EQ(r.s.nvib, 1);
    EXPECT_EQ(r.s.frqintns(1), 2.5);
}

TEST(ReadAdfOut, FrequencyScan) {
    const std::string modes = modeheader + "   100.0   100.0   250.0\n  ---\n"
                                           "  1.O 0. 0. 1. 0. 0. 1. 0. 0. 1.\n"
                                           "  2.H 0. 0. 1. 0. 0. 1. 0. 0. 1.\n"
                                           "  3.H 0. 0. 1. 0. 0. 1. 0. 0. 1.\n";
    const std::string table = " Summary of a frequency scan in the requested range\n"
                              "     Old      New                X         Y         Z\n"
                              "  --------\n   Vibration symmetry A1\n"
                              "   100.001   101.0\n   100.002   102.0\n"
                              "   250.0  250.0  not re-calculated\n   250.005   255.0\n"
                              "   100.0   999.0\n ========\n   250.0   300.0\n";
    const Read r = run(water + intensities({"100.0 0.0 1.0", "100.0 0.0 1.0", "250.0 0.0 1.0"}) +
                       modes + table);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_TRUE(r.s.lscanfreq);
    // Each mode takes one new value; equal old values go to the modes in order.
    EXPECT_EQ(r.s.vibs(1), 101.0);
    EXPECT_EQ(r.s.vibs(2), 102.0);
    EXPECT_EQ(r.s.vibs(3), 255.0);
    EXPECT_EQ(r.s.fscanfreq(1, 2), 100.0);
    EXPECT_EQ(r.s.fscanfreq(2, 2), 102.0);
    EXPECT_EQ(r.s.fscanfreq(2, 3), 255.0);

    // A summary without its table leaves nothing to take over.
    const Read summary =
        run(water + intensities({"100.0 0.0 1.0"}) + modeheader + "   100.0\n ---\n" +
            "  1.O 0. 0. 1.\n  2.H 0. 0. 1.\n  3.H 0. 0. 1.\n" +
            table.substr(0, table.find("     Old")));
    ASSERT_EQ(summary.message, "") << summary.out;
    EXPECT_FALSE(summary.s.lscanfreq);
    EXPECT_EQ(summary.s.vibs(1), 100.0);
}

TEST(ReadAdfOut, Jobs) {
    const std::string text = water + " Fragment File(s)\n" +
                             atoms({"  1  N  0.0 0.0 1.0", "  2  H  0.0 1.0 0.0"}) +
                             "Total Bonding Energy:  -1.0\n Fragment File(s)\n" +
                             atoms({"  1  C  0.0 0.0 2.0"}) + "Total Bonding Energy:  -2.0\n";
    const Read last = run(text);
    ASSERT_EQ(last.message, "") << last.out;
    EXPECT_EQ(last.s.nrjobs, 2);
    EXPECT_EQ(last.s.job, 2);
    EXPECT_EQ(last.s.nat, 1);
    EXPECT_EQ(last.s.iat(1), 6);
    EXPECT_EQ(last.s.energy, -2.0);

    const Read first = run(text, 1);
    ASSERT_EQ(first.message, "") << first.out;
    EXPECT_EQ(first.s.nat, 2);
    EXPECT_EQ(first.s.iat(1), 7);
    EXPECT_EQ(first.s.energy, -1.0);

    // A job number beyond the last job finds no atoms; so does a last job without a table.
    const Read none = run(text, 3);
    EXPECT_EQ(none.out, "NAT is 0 (zerooooo!!!) stopping now ...\n");
    EXPECT_EQ(none.message, "No ATOMS found");
    EXPECT_EQ(none.routine, "readadfout");
    const Read empty = run(text + " Fragment File(s)\nTotal Bonding Energy:  -3.0\n");
    EXPECT_EQ(empty.out, "NAT is 0 (zerooooo!!!) stopping now ...\n");
    EXPECT_EQ(empty.message, "No ATOMS found");
}

// The second pass never stores more than the first pass made room for.
TEST(ReadAdfOut, MoreThanCounted) {
    struct Case {
        const char* what;
        std::string text;
        const char* message;
    };
    const std::string mode3 = modeheader + "  1.0 2.0 3.0\n ---\n  1.O 0. 0. 1. 0. 0. 1. 0. 0. 1.\n"
                                           "  2.H 0. 0. 1. 0. 0. 1. 0. 0. 1.\n"
                                           "  3.H 0. 0. 1. 0. 0. 1. 0. 0. 1.\n";
    const Case cases[] = {
        // The last job's atoms come from a geometry-cycle table longer than the atom table that
        // the first pass counted in the earlier job.
        {"atoms",
         " Fragment File(s)\n" + atoms({"  1  O 0.0 0.0 0.0", "  2  H 0.0 0.0 1.0"}) +
             " Fragment File(s)\n" + cycle(1.0),
         "More atoms than counted"},
        // Cycles are counted only while no table of optimisation variables was met; in the
        // whole file there was one, in the last job there is none.
        {"geometries",
         " Fragment File(s)\n" + water + variables(1.0) + " Fragment File(s)\n" + water +
             cycle(1.0) + cycle(2.0),
         "More geometries than counted"},
        {"modes", water + intensities({"1.0 0 1.0", "2.0 0 1.0"}) + mode3,
         "More modes than counted"},
        {"four modes on a line",
         water + intensities({"1.0 0 1.0", "2.0 0 1.0", "3.0 0 1.0", "4.0 0 1.0"}) + modeheader +
             "  1.0 2.0 3.0 4.0\n",
         "More than three modes on a frequency line"},
        {"fragment atom",
         water + " FRAGMENTS\n ==\n --\n  1 O  1 O 0.0 0.0 0.0\n  2 H  4 H 0.0 0.0 0.0\n",
         "Atom number out of range in FRAGMENTS table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Read r = run(c.text);
        EXPECT_EQ(r.message, c.message) << r.out;
        EXPECT_EQ(r.routine, "readadfout");
    }
}

// Transit points are numbered from the first point this run handles; one beyond the number of
// points cannot be named.
TEST(ReadAdfOut, TransitPointNumbering) {
    const std::string text = " Nr. of points in the Linear Transit scan:   3\n"
                             " First LT point to handle in this run:   4\n" +
                             water + " Final Geometry\n" + variables(1.0);
    const Read r = run(text);
    EXPECT_EQ(r.message, "itid > mxtid : impossible");
    EXPECT_EQ(r.routine, "getsuffix2");
    EXPECT_EQ(r.s.ngeom, 1); // stored before its files are named
}

TEST(ReadAdfOut, PrematureEnds) {
    struct Case {
        const char* what;
        std::string text;
        const char* printed;
        const char* message;
    };
    const Case cases[] = {
        {"atom table header", " =====    X Y Z    CHARGE\n (Angstrom)\n",
         "premature end of ADF output file while reading XYZ\n", "premature end of ADF output"},
        {"cycle table header", "  Coordinates in Geometry Cycle 1\n",
         "premature end of ADF output file while reading XYZ\n", "premature end of ADF output"},
        {"atom lines", " =====    X Y Z    \n h\n h\n  1 O 0.0 0.0 0.0\n",
         "premature end of ADF output file while reading XYZ\n"
         "premature end of ADF output file while reading XYZ\n",
         ""},
        {"variables", water + variables(1.0).substr(0, 140),
         "premature end of ADF output file while reading Geom.Upd. Continuing...\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Read r = run(c.text);
        EXPECT_EQ(r.out, c.printed);
        EXPECT_EQ(r.message, c.message);
        if (*c.message != '\0') {
            EXPECT_EQ(r.routine, "readadfout");
        }
    }
}

} // namespace
