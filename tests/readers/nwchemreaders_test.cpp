#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;
using Reader = void (*)(Store&, InputFile&);

Read run(Reader reader, std::string text) {
    Read r;
    readinto(r, reader, std::move(text));
    return r;
}

const std::string head =
    "  No.       Tag          Charge          X              Y              Z\n"
    " ---- ---------------- ---------- -------------- -------------- ----\n";

std::string table(const std::string& atoms) {
    return head + atoms + " \n";
}

std::string qmmm(const std::string& atoms, const std::string& marker = "Current") {
    return "  " + marker + " QMMM geometry\n  ------\n\n  head 2\n  head 3\n  head 4\n" + atoms +
           "  --------------------\n";
}

const std::string water = "    1 O   8.0  0.0  0.0  0.1173\n"
                          "    2 H   1.0  0.0  0.7572 -0.4692\n"
                          "    3 H   1.0  0.0 -0.7572 -0.4692\n";

TEST(NwchemReaders, Failures) {
    struct Case {
        Reader reader;
        std::string text, out, message;
    };
    const std::string qmmmroutine = "readnwqmmm";
    const Case cases[] = {
        // The store is sized from the last table; an earlier, longer one has no room.
        {readnwchem, table(water + "    4 H 1.0 0.0 0.0 1.0\n") + table(water), "",
         "More atoms than counted"},
        {readnwchem, " Total DFT energy = -1.0\n", "", "No atoms found"},
        {readnwchem, table("    1 C 6.0 1.0 2.0\n"), "Not enough reals found:  3\n",
         "Not enough reals on line"},
        {readnwchem, table("    1 Qx 0.0 1.0 2.0 3.0\n"), "Unknown atomtype found: QX\n",
         "Unknown atomtype found"},
        {readnwqmmm, " no geometry here\n", "", "No atoms found"},
        // The first block sizes the store; a later, longer one has no room.
        {readnwqmmm, qmmm(" O 0.0 0.0 0.0\n") + qmmm(" O 0.0 0.0 0.0\n H 1.0 0.0 0.0\n"), "",
         "More atoms than counted"},
        {readnwqmmm, qmmm(" 1 0.0 0.0 0.0\n"), "Not enough strings found:  0\n",
         "Not enough strings on line"},
        {readnwqmmm, qmmm(" O 1.0 2.0\n"), "Not enough reals found:  2\n",
         "Not enough reals on line"},
        {readnwqmmm, qmmm(" Xq.Qx 1.0 2.0 3.0\n"), "Unknown atomtype found: QX\n",
         "Unknown atomtype found"},
    };
    for (const Case& c : cases) {
        const Read r = run(c.reader, c.text);
        EXPECT_EQ(r.message, c.message) << c.text;
        EXPECT_EQ(r.routine, c.reader == readnwqmmm ? qmmmroutine : "readnwchem") << c.text;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.text;
    }
}

TEST(NwchemReaders, ModeBlocks) {
    // Blank lines within a block are passed over and an energy line is no component; the line
    // right after "P.Freq" is skipped whatever it holds.
    std::string rows;
    for (int r = 1; r <= 9; ++r) {
        rows += "   " + std::to_string(r) + "   0." + std::to_string(r) + "  -0." +
                std::to_string(r) + "\n";
        if (r == 4) {
            rows += "\n Total DFT energy = -76.5\n";
        }
    }
    const Read r = run(readnwchem, " Total DFT energy = -76.25\n" + table(water) +
                                       " P.Frequency  100.0 -200.0 1.0 2.0 3.0 4.0\n ignored\n" +
                                       rows + " P.Frequency  300.0  400.0  500.0\n" +
                                       "  1 0.0 0.0 0.0\n" + rows + table(water));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.s.nvib, 9);
    EXPECT_EQ(r.s.vibs(2), -200.0);
    EXPECT_EQ(r.s.vibs(9), 500.0);
    EXPECT_EQ(r.s.vibvec(1, 1, 1), 0.1);
    EXPECT_EQ(r.s.vibvec(2, 2, 2), -0.5);
    EXPECT_EQ(r.s.vibvec(3, 3, 2), -0.9);
    EXPECT_EQ(r.s.vibvec(1, 1, 3), 0.0); // rows with fewer reals than modes
    // The second block's first row was the line after "P.Freq", and skipped.
    EXPECT_EQ(r.s.vibvec(1, 1, 7), 0.1);
    EXPECT_EQ(r.s.vibvec(2, 1, 8), -0.2);
    EXPECT_EQ(r.s.vibvec(3, 3, 8), -0.9);
    EXPECT_EQ(r.s.vibvec(3, 3, 9), 0.0);
    EXPECT_EQ(r.s.ngeom, 2);
    EXPECT_EQ(r.s.egeo(1), -76.25);
    EXPECT_EQ(r.s.egeo(2), -76.5);
}

TEST(NwchemReaders, TableAtEndOfFile) {
    // Without the closing blank line the last table is still the final structure.
    std::string last = water;
    last.replace(last.find("0.1173"), 6, "0.2173");
    const Read r = run(readnwchem, table(water) + head + last);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.ngeom, 2);
    EXPECT_EQ(r.s.xyz(3, 1), 0.2173 / bohr);
    EXPECT_EQ(r.s.iat(3), 1);
}

TEST(NwchemReaders, QmmmCoordinates) {
    // Three reals: Angstrom; six: Bohr from the first three; otherwise the first three numbers
    // as they stand, integers included.
    const Read r = run(readnwqmmm, qmmm(" 1 O 1.0 2.0 3.0\n\n"
                                        " 2 H 1.0 2.0 3.0 4.0 5.0 6.0\n"
                                        " 3 H 0.5 1.5 2.5 3.5\n"
                                        " BQ.N 7 8 9\n",
                                        "Optimized"));
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 4);
    EXPECT_EQ(r.s.xyz(3, 1), 3.0 / bohr);
    EXPECT_EQ(r.s.xyz(3, 2), 3.0);
    EXPECT_EQ(r.s.xyz(1, 3), 3.0);
    EXPECT_EQ(r.s.xyz(3, 3), 1.5);
    EXPECT_EQ(r.s.iat(4), 7);
    EXPECT_EQ(r.s.xyz(2, 4), 8.0);
    EXPECT_EQ(r.s.inpcoor, 1);
}

} // namespace
