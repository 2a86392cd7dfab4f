#include "control/control.h"
#include "control/files.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;

struct Read {
    Store s;
    std::string message, routine, out;
    bool plain = false;
};

Read run(const std::string& text, const std::string& outputfile = "") {
    Read r;
    r.s.outputfile = outputfile;
    InputFile in(text);
    testing::internal::CaptureStdout();
    try {
        readvesko(r.s, in);
    } catch (const RunError& e) {
        r.message = e.what();
        r.routine = e.routine;
        r.plain = e.plain;
    }
    r.out = testing::internal::GetCapturedStdout();
    return r;
}

const std::string bohrheader = " atom       nr    x (Bohrs)   y (Bohrs)   z (Bohrs)\n ----\n";
const std::string water = bohrheader + " O  1  0.0  0.0  0.2\n H  2  0.0  1.4 -0.9\n"
                                       " H  3  0.0 -1.4 -0.9\n\n";

std::string geometry(const std::string& marker, int atoms) {
    std::string t = " " + marker + "\n";
    for (int a = 1; a <= atoms; ++a) {
        t += " O  " + std::to_string(a) + ".5  0.0  0.0   0.01  0.0  0.0\n";
    }
    return t;
}

// Both atom tables end at a blank line and at the notes printed in column 1 right after them;
// only the Bohr table also ends at its symmetry heading.
TEST(ReadVesko, AtomTableEnds) {
    const struct {
        std::string after;
        int start, start2; // atoms counted by the two tables
    } cases[] = {
        {"\n C 0.0 0.0 0.0\n", 1, 1},
        {"Changing DefCovRad for Cl\n", 1, 1},
        {"Insufficient number of symmetry operators\n", 1, 1},
        {"Insufficient numbers\n", 2, 2},
        {"Initial VESKO Symmetry   \n", 2, 1},
        {" Initial VESKO Symmetry\n", 2, 2},
        {"Initial VESKO Symmetry C(2v)\n", 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        Store s;
        InputFile in(" C 0.0 0.0 0.0\n" + c.after + "\n");
        readveskostart(s, in, false);
        EXPECT_EQ(s.nat, c.start);
        s.nat = 0;
        InputFile in2(" ----\n C 0.0 0.0 0.0\n" + c.after + "\n");
        readveskostart2(s, in2, false);
        EXPECT_EQ(s.nat, c.start2);
    }
}

// A frequency list still open hides what follows it from the counting pass; the storing pass
// then meets more than there is room for and stops instead of writing past the tables.
TEST(ReadVesko, MoreThanCountedStops) {
    const std::string openlist = " List of all vibrational frequencies\n (cm-1)\n";
    const std::string modes = " List of all vibrational frequencies\n 1000.0\n\n"
                              " Vibrations and Normal Modes\n";
    const struct {
        std::string text, message;
    } cases[] = {
        {water + openlist + water, "More atoms than counted"},
        // The open list counts the geometry's numbers as frequencies, more than 3 atoms have.
        {water + openlist + geometry("New coordinates and steps", 3),
         "Mode count 18 is more than the 9 modes of 3 atoms"},
        {water + modes + " 1000.0  2000.0\n ----\n", "More modes than counted"},
        {water + " List of all vibrational frequencies\n 1.0 2.0 3.0 4.0\n\n"
                 " Vibrations and Normal Modes\n 1.0 2.0 3.0 4.0\n",
         "More than three modes on a frequency line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Read r = run(c.text);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.routine, "readvesko");
    }
}

// Integers on the list lines are mode numbers, not frequencies; a list that has not begun
// passes over lines without numbers, and the normal-mode heading closes it.
TEST(ReadVesko, FrequencyListCountsReals) {
    const Read r = run(water + " List of all vibrational frequencies\n ====\n\n"
                               "   1   1598.5     2   3657.25\n   3   3755.0\n"
                               " Vibrations and Normal Modes\n"
                               "  1598.5   3657.25\n ----\n"
                               " 1.O  0.1 0.2 0.3  0.4 0.5 0.6\n 2.H  0. 0. 0.  0. 0. 0.\n"
                               " 3.H  1.0 2.0 3.0  4.0 5.0 6.0\n"
                               " text between groups\n  3755.0\n ----\n"
                               " 1.O  0.7 0.8 0.9\n 2.H  0.0 0.0 0.0\n 3.H  0.0 0.0 -1.0\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 3);
    EXPECT_EQ(r.s.vibs(1), 1598.5);
    EXPECT_EQ(r.s.vibs(2), 3657.25);
    EXPECT_EQ(r.s.vibs(3), 3755.0);
    EXPECT_EQ(r.s.vibvec(3, 1, 1), 0.3);
    EXPECT_EQ(r.s.vibvec(1, 1, 2), 0.4);
    EXPECT_EQ(r.s.vibvec(3, 3, 2), 6.0);
    EXPECT_EQ(r.s.vibvec(3, 3, 3), -1.0);
}

// An atom line of the normal modes with a wrong number of reals ends the run without the
// banner, after showing the line.
TEST(ReadVesko, WrongNormalModeLineStopsPlainly) {
    const std::string bad = " 2.H  0.0 0.0";
    const Read r = run(water +
                       " List of all vibrational frequencies\n 1000.0\n\n"
                       " Vibrations and Normal Modes\n 1000.0\n ----\n"
                       " 1.O  0.0 0.0 0.1\n" +
                       bad + "\n 3.H 0.0 0.0 0.1\n");
    EXPECT_TRUE(r.plain);
    EXPECT_EQ(r.message, "Baggerzooi");
    EXPECT_EQ(r.out, "Error reading normal mode vectors\nReading from " + record(bad) + "\n");
}

// A file that ends inside a table keeps what was complete and says where it ended; the atom
// tables say so in both passes.
TEST(ReadVesko, PrematureEnds) {
    const std::string xyz = "premature end of ADF output file while reading XYZ\n";
    const std::string geo =
        "premature end of ADF output file while reading Geom.Upd. Continuing...\n";
    const struct {
        std::string name, text, out;
        int nat, ngeom;
    } cases[] = {
        {"atoms block", " Info read from ATOMS block\n C 0.0 0.0 0.0\n O 0.0 0.0 2.1", xyz + xyz, 2,
         0},
        {"bohr header", water + bohrheader.substr(0, 52), xyz + xyz + xyz + xyz, 3, 0},
        {"geometry", water + geometry("New coordinates and steps", 2), geo, 3, 0},
        {"angs header", water + " New coordinates (angs) and steps\n ====\n", xyz + geo, 3, 0},
        {"complete", water + geometry("New coordinates and steps", 3), "", 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = run(c.text);
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.s.nat, c.nat);
        EXPECT_EQ(r.s.ngeom, c.ngeom);
    }
    const Read r = run(water + geometry("New coordinates and steps", 3));
    EXPECT_EQ(r.s.xgeo(1, 3, 1), 3.5 / bohr);
}

// "nrlt:" is the first, second or third name on its line and takes the integer in the same
// place; the number of its digits gives the width of the transit-point numbers.
TEST(ReadVesko, TransitPointCount) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kru-readvesko-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string out = (dir / "o").string();
    const std::string point = " Last Geometry in LinearTransit Point\n h1\n h2\n"
                              " O 0.0 0.0 0.0\n H 0.0 0.0 1.0\n H 0.0 1.0 0.0\n"
                              " 1\n 2\n 3\n 4\n 5\n 6\n 7\n 8\n";
    const struct {
        std::string line, suffix;
    } cases[] = {
        {"nrlt:   7", "1"},
        {"a: 1 nrlt: 120", "001"},
        {"a: 1 b: 2 nrlt: 15 more 3", "01"},
        {"a: 1 b: 2 c: 3 nrlt: 4", ""}, // fourth name: not read, no transit points known
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Read r = run(" " + c.line + "\n" + water + point, out);
        if (c.suffix.empty()) {
            EXPECT_EQ(r.message, "itid > mxtid : impossible");
            continue;
        }
        ASSERT_EQ(r.message, "") << r.out;
        const std::string name = out + ".lt" + c.suffix;
        // The energy line that may follow the point is read once the first file is open.
        EXPECT_EQ(r.out, "opening " + name +
                             ".xyz\npremature end of ADF output file while reading XYZ\nopening " +
                             name + ".angs\n");
        EXPECT_TRUE(std::filesystem::exists(name + ".xyz"));
        EXPECT_TRUE(std::filesystem::exists(name + ".angs"));
    }

    // A file that cannot be created is announced all the same and skipped; the energy line
    // after the point is then left to the main loop.
    const Read r = run(" nrlt: 3\n" + water + point + " Total Bonding Energy  -2.5 -3.5 -4.5\n",
                       (dir / "missing" / "o").string());
    ASSERT_EQ(r.message, "") << r.out;
    const std::string name = (dir / "missing" / "o.lt1").string();
    EXPECT_EQ(r.out, "opening " + name + ".xyz\nopening " + name + ".angs\n");
    EXPECT_EQ(r.s.energy, -2.5);
    std::filesystem::remove_all(dir);
}

} // namespace
