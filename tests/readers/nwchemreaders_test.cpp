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
        {readnwchem, " Total DFT energy = -1.0\n", "", "No atoms found"},
        {readnwchem, table("    1 C 6.0 1.0 2.0\n"), "Not enough reals found:  3\n",
         "Not enough reals on line"},
        {readnwchem, table("    1 Qx 0.0 1.0 2.0 3.0\n"), "Unknown atomtype found: QX\n",
         "Unknown atomtype found"},
        // A charge that is no whole number, or names no element, leaves the tag to decide.
        {readnwchem, table("    1 Q1 6.5 1.0 2.0 3.0\n"), "Unknown atomtype found: Q1\n",
         "Unknown atomtype found"},
        {readnwchem, table("    1 Bq 0.0 1.0 2.0 3.0\n"), "Unknown atomtype found: BQ\n",
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
    // The energy before the first table is no geometry's; the one after it, inside the block, is
    // its energy, and the last table, which no energy follows, takes the run's last.
    EXPECT_EQ(r.s.ngeom, 2);
    EXPECT_EQ(r.s.egeo(1), -76.5);
    EXPECT_EQ(r.s.egeo(2), -76.5);
}

TEST(NwchemReaders, EnergiesOfTheRunsMethod) {
    // The highest level the file prints gives the energies; a geometry takes the first of them
    // after its table, and later ones (points the program does not print) only the run's.
    const std::string scf = " Total SCF energy = -76.0\n";
    const std::string step1 =
        scf + "  Total MP2 energy  -76.2\n" + scf + "  Total MP2 energy  -76.3\n";
    const std::string step2 = scf + "  Total MP2 energy  -76.4\n";
    const Read mp2 = run(readnwchem, table(water) + table(water) + step1 + table(water) + step2);
    ASSERT_EQ(mp2.message, "") << mp2.out;
    ASSERT_EQ(mp2.s.ngeom, 3);
    EXPECT_EQ(mp2.s.egeo(1), -76.2);
    EXPECT_EQ(mp2.s.egeo(2), -76.2);
    EXPECT_EQ(mp2.s.egeo(3), -76.4);
    EXPECT_EQ(mp2.s.energy, -76.4);

    const std::string cc = " CCSD(T) total energy / hartree       =       -76.5\n";
    const Read ccsdt = run(readnwchem, table(water) + step1 + cc + table(water) + step2);
    ASSERT_EQ(ccsdt.message, "") << ccsdt.out;
    EXPECT_EQ(ccsdt.s.egeo(1), -76.5);
    EXPECT_EQ(ccsdt.s.egeo(2), -76.5);

    // An energy line without its number is passed over, not read as 0.
    const Read starred = run(readnwchem, table(water) + " Total DFT energy = -76.25\n" +
                                             table(water) + " Total DFT energy = ********\n");
    ASSERT_EQ(starred.message, "") << starred.out;
    EXPECT_EQ(starred.s.egeo(2), -76.25);
}

TEST(NwchemReaders, TablesOfAnotherAtomCount) {
    // The molecule is the last table a blank line closes: a table of another molecule before it,
    // and one the end of the file cuts short, are no geometries.
    const std::string other = "    1 O 8.0 0.0 0.0 0.0\n    2 H 1.0 0.0 0.0 1.0\n";
    const Read r = run(readnwchem, table(other) + table(water) + " Total DFT energy = -76.25\n" +
                                       table(water) + head + water.substr(0, 30));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 3);
    EXPECT_EQ(r.s.ngeom, 2);
    EXPECT_EQ(r.s.egeo(2), -76.25);
    EXPECT_EQ(r.s.xyz(2, 2), 0.7572 / bohr);
}

TEST(NwchemReaders, ElementsFromTagsAndCharges) {
    // Leading letters of numbered tags; a whole-number charge names the element where the tag
    // says otherwise; the coordinates are in the unit the table's heading names.
    const Read r = run(readnwchem, " Output coordinates in a.u. (scale by  1.000000000 to convert "
                                   "to a.u.)\n" +
                                       table("    1 H1  1.0 0.0 0.0 1.5\n"
                                             "    2 O2a 8.0 0.0 0.0 2.5\n"
                                             "    3 CA  6.0 0.0 0.0 3.5\n"
                                             "    4 Ca 20.0 0.0 0.0 4.5\n"
                                             "    5 Bq.C 0.0 0.0 0.0 5.5\n"
                                             "    6 HA  1.0 0.0 0.0 6.5\n"));
    ASSERT_EQ(r.message, "") << r.out;
    const int elements[] = {1, 8, 6, 20, 6, 1};
    for (int a = 1; a <= 6; ++a) {
        EXPECT_EQ(r.s.iat(a), elements[a - 1]) << a;
        EXPECT_EQ(r.s.xyz(3, a), a + 0.5) << a;
    }
    const Read qm = run(readnwqmmm, qmmm(" O1 1.0 2.0 3.0\n H2a 1.0 2.0 3.0\n"));
    ASSERT_EQ(qm.message, "") << qm.out;
    EXPECT_EQ(qm.s.iat(1), 8);
    EXPECT_EQ(qm.s.iat(2), 1);
}

TEST(NwchemReaders, ProjectedIntensities) {
    // The KM/mol column of the projected table, found by its heading; the unprojected table and
    // rows of modes beyond the count are passed over.
    const std::string rows = "    1    10.0 ||  0.1  0.2  0.3  0.4\n"
                             "    9  3000.0 ||  0.1  0.2  9.9  0.4\n"
                             "   10  3100.0 ||  0.1  0.2  7.7  0.4\n";
    const std::string freqs = " P.Frequency  1.0 2.0 3.0 4.0 5.0 6.0 7.0 8.0 9.0\n\n";
    const std::string modes = "   1 0.1\n   2 0.1\n   3 0.1\n   4 0.1\n   5 0.1\n"
                              "   6 0.1\n   7 0.1\n   8 0.1\n   9 0.1\n";
    const std::string units = " Mode   [cm**-1]  || [atomic units] [(debye/angs)**2] [(KM/mol)]\n";
    const std::string dashes = " ------ ---------- || -------------- -----------------\n";
    const std::string reordered = " Mode   [cm**-1]  || [(KM/mol)] [atomic units]\n";
    const Read r =
        run(readnwchem, table(water) + " Normal Eigenvalue || Infra Red Intensities\n" + units +
                            dashes + "    2    20.0 ||  0.1  0.2  5.5  0.4\n" + freqs + modes +
                            " Normal Eigenvalue || Projected Infra Red Intensities\n" + units +
                            dashes + rows + " ---------\n" + rows);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 9);
    EXPECT_EQ(r.s.frqintns(1), 0.3);
    EXPECT_EQ(r.s.frqintns(2), 0.0);
    EXPECT_EQ(r.s.frqintns(9), 9.9);
    const Read other = run(readnwchem, table(water) + freqs + modes +
                                           " Projected Infra Red Intensities\n" + reordered + rows);
    ASSERT_EQ(other.message, "") << other.out;
    EXPECT_EQ(other.s.frqintns(9), 0.1);
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
