#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;

Read run(std::string text, long long job = 0, long long idgeo = -1) {
    Read r;
    r.s.job = job;
    r.s.idgeo = idgeo;
    readinto(r, &readorca, std::move(text));
    return r;
}

const std::string banner = "                     * O   R   C   A *\n";

std::string block(const std::string& atoms) {
    return "CARTESIAN COORDINATES (ANGSTROEM)\n---------------------------------\n" + atoms;
}

std::string water(double z) {
    return block("  O   0.000000   0.000000   " + std::to_string(z) +
                 "\n  H   0.000000   0.757200  -0.469200\n  h   0.000000  -0.757200  -0.469200\n");
}

TEST(Readorca, OptimisationStepsAndSelection) {
    // The atom count may follow the first block.
    const std::string text = banner + water(0.1) + "\nNumber of atoms    ...    3\n" + water(0.2) +
                             "\n" + water(0.3) + "\n";
    Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.s.nrjobs, 1);
    EXPECT_EQ(r.s.job, 1);
    ASSERT_EQ(r.s.ngeom, 3);
    EXPECT_EQ(r.s.iat(1), 8);
    EXPECT_EQ(r.s.iat(3), 1);
    EXPECT_EQ(r.s.inpcoor, 1);
    for (int g = 1; g <= 3; ++g) {
        EXPECT_DOUBLE_EQ(r.s.xgeo(3, 1, g), 0.1 * g / bohr);
        EXPECT_EQ(r.s.egeo(g), 0.0);
    }
    EXPECT_EQ(r.s.xyz(3, 1), r.s.xgeo(3, 1, 3));
    EXPECT_EQ(r.s.xyz(2, 3), -0.7572 / bohr);

    const std::pair<int, int> selections[] = {{1, 1}, {2, 2}, {0, 3}, {4, 3}, {-1, 3}};
    for (const auto& [idgeo, picked] : selections) {
        r = run(text, 0, idgeo);
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.xyz(3, 1), r.s.xgeo(3, 1, picked)) << "IDGEO " << idgeo;
    }
}

TEST(Readorca, LabelsFromTheFirstBlockOnly) {
    // Later blocks are coordinates in the first block's atom order, whatever their labels say.
    const std::string text = "Number of atoms 4\n" +
                             block("J.C 0.0 0.0 0.0\nCl 1.0 0.0 0.0\nC.1 0.0 1.0 0.0\n"
                                   "co 0.0 0.0 1.0\n") +
                             block("Q 0.0 0.0 0.0\nQ 2.0 0.0 0.0\nQ 0.0 2.0 0.0\nQ 0.0 0.0 2.0\n");
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.iat(2), 17);
    EXPECT_EQ(r.s.iat(3), 6);
    EXPECT_EQ(r.s.iat(4), 27);
    EXPECT_EQ(r.s.idesp(1), 0);
    EXPECT_EQ(r.s.xyz(1, 2), 2.0 / bohr);
}

TEST(Readorca, MissingRun) {
    const std::string two = banner + "Number of atoms 3\n" + water(0.1) + banner +
                            "Number of atoms 2\n" + block("N 0.0 0.0 0.0\nN 0.0 0.0 1.1\n");
    // A run the file does not have.
    const Read r = run(two, 3);
    EXPECT_EQ(r.out, "NAT is 0 (zerooooo!!!) stopping now ...\n");
    EXPECT_EQ(r.message, "No ATOMS found");
    EXPECT_EQ(r.routine, "readorca");
}

TEST(Readorca, PrematureEnds) {
    const std::string geomupd = "premature end of ORCA output file while reading Geom.Upd. "
                                "Continuing...\n";
    const std::string atomsupd = "premature end of ADF output file while reading Geom.Upd. "
                                 "Continuing...\n";
    // A block cut short is not stored; the whole ones before it are.
    Read r = run("Number of atoms 3\n" + water(0.1) + water(0.2).substr(0, 90));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, atomsupd);
    EXPECT_EQ(r.s.ngeom, 1);
    EXPECT_DOUBLE_EQ(r.s.xyz(3, 1), 0.1 / bohr);

    r = run("Number of atoms 3\n" + water(0.1) + "CARTESIAN COORDINATES (ANGSTROEM)\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, geomupd);
    EXPECT_EQ(r.s.ngeom, 1);

    // Without one whole block the atoms would have neither elements nor coordinates.
    r = run("Number of atoms 3\n" + water(0.1).substr(0, 90));
    EXPECT_EQ(r.out, atomsupd);
    EXPECT_EQ(r.message, "No coordinates found");
    EXPECT_EQ(r.routine, "readorca");
    r = run("Number of atoms 3\n\n\n\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.message, "No coordinates found");
}

TEST(Readorca, EnergiesPairWithTheBlockBeforeThem) {
    const auto energy = [](const std::string& e) {
        return "FINAL SINGLE POINT ENERGY " + e + "\n";
    };
    // The second energy after the first block is passed over for the geometries; the last block
    // has no energy after it and takes the run's last.
    const std::string text = "Number of atoms 3\n" + water(0.1) + energy("-76.1") +
                             energy("-76.15") + water(0.2) + energy("-76.2") + water(0.3) +
                             "FINAL SINGLE POINT ENERGY\n";
    for (const long long idgeo : {-1LL, 1LL}) {
        const Read r = run(text, 0, idgeo);
        ASSERT_EQ(r.message, "") << r.out;
        ASSERT_EQ(r.s.ngeom, 3);
        EXPECT_EQ(r.s.egeo(1), -76.1);
        EXPECT_EQ(r.s.egeo(2), -76.2);
        EXPECT_EQ(r.s.egeo(3), -76.2);
        EXPECT_EQ(r.s.energy, -76.2) << "IDGEO " << idgeo;
    }
}

// A frequency section of ORCA 5 for 3 atoms: 9 frequencies, the modes in a block of six and
// one of three columns (mode m, coordinate c holds m + c / 100), IR rows for modes 5 to 8.
std::string vibrations(int zeros) {
    std::string text = "VIBRATIONAL FREQUENCIES\n-----\n\nScaling factor = 1.0\n\n";
    for (int m = 0; m < 9; ++m) {
        text += "   " + std::to_string(m) + ":  " +
                (m < zeros ? "0.00" : std::to_string(100.0 * m)) + " cm**-1\n";
    }
    text += "\n------------\nNORMAL MODES\n------------\n\nThese modes are weighted\n\n";
    for (const auto& [first, last] : {std::pair{0, 5}, std::pair{6, 8}}) {
        for (int m = first; m <= last; ++m) {
            text += "   " + std::to_string(m);
        }
        text += "\n";
        for (int c = 0; c < 9; ++c) {
            text += "  " + std::to_string(c);
            for (int m = first; m <= last; ++m) {
                text += "  " + std::to_string(m < zeros ? 0.0 : m + c / 100.0);
            }
            text += "\n";
        }
    }
    text += "\n\n-----------\nIR SPECTRUM\n-----------\n\n Mode freq eps Int T**2\n-----\n";
    for (int m = 5; m < 9; ++m) {
        text += "  " + std::to_string(m) + ":  1.5  0.1  " + std::to_string(m) + ".5  2.5\n";
    }
    return text + "\n* The epsilon\n";
}

TEST(Readorca, LinearMoleculeKeepsOneModeMore) {
    const std::string co2 = "Number of atoms 3\n" +
                            block("O 0.0 0.0 -1.16\nC 0.0 0.0 0.0\nO 0.0 0.0 1.16\n") + "\n" +
                            vibrations(5) + "ORCA TERMINATED NORMALLY\n";
    Read r = run(co2);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.s.nvib, 4);
    for (int m = 1; m <= 4; ++m) {
        EXPECT_EQ(r.s.vibs(m), 100.0 * (m + 4)) << "mode " << m;
        EXPECT_EQ(r.s.frqintns(m), m + 4.5) << "mode " << m;
        EXPECT_EQ(r.s.vibvec(3, 3, m), m + 4 + 0.08) << "mode " << m;
    }
    // Bent, the same molecule has one mode fewer, the first six being dropped.
    r = run("Number of atoms 3\n" + block("O 0.0 0.1 -1.16\nC 0.0 0.0 0.0\nO 0.0 0.0 1.16\n") +
            vibrations(6));
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 3);
    EXPECT_EQ(r.s.vibs(1), 600.0);
    EXPECT_EQ(r.s.vibvec(1, 1, 3), 8.0);
}

TEST(Readorca, ModeNumbersBeyondTheTablesArePassedOver) {
    // A mode 9000000 in a block header, a row of coordinate 9000 and an IR row of mode 9000000
    // have no place in the tables of 9 modes of 3 atoms.
    std::string text = "Number of atoms 3\n" + water(0.1) + vibrations(6);
    text.replace(text.find("   6   7   8\n"), 13, "   6   9000000   8\n  9000  0.5  0.5  0.5\n");
    text.insert(text.find("* The epsilon"), " 9000000:  1.5  0.1  7.5  2.5\n");
    const Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    // The mode whose column was lost is not read in full: it and those after it are dropped.
    EXPECT_EQ(r.out, " The normal modes end early: 1 of the 3 vibrations are read in full and "
                     "kept.\n");
    EXPECT_EQ(r.s.nvib, 1);

    // More frequency rows than a molecule of 3 atoms has modes: refused before anything is sized.
    std::string more = "Number of atoms 3\n" + water(0.1) + vibrations(6);
    more.insert(more.find("\n------------\nNORMAL MODES"), "   9:  950.0 cm**-1\n");
    const Read refused = run(more);
    EXPECT_EQ(refused.message, "Mode count 10 is more than the 9 modes of 3 atoms");
    EXPECT_EQ(refused.routine, "readorca");
}

TEST(Readorca, Failures) {
    const std::string bad = "  Xq   0.0 0.0 0.0";
    const Read unknown = run("Number of atoms 1\n" + block(bad + "\n"));
    EXPECT_EQ(unknown.out,
              "Unable to extract ATOMlabel from next line (tried with XQ)\n" + record(bad) + "\n");
    EXPECT_EQ(unknown.message, "Unable to find ATOMlabel");
    EXPECT_EQ(unknown.routine, "readvesko->xyz");

    // A block shorter than the atom count swallows the next run's banner when storing, so that
    // run's block would be one geometry more than counted for the first run.
    const Read swallowed = run(banner + "Number of atoms 3\n" + water(0.1) +
                                   block("O 0.0 0.0 0.0\nH 0.0 0.0 1.0\n") + banner + water(0.2),
                               1);
    EXPECT_EQ(swallowed.message, "More geometries than counted");
    EXPECT_EQ(swallowed.routine, "readorca");

    // An atom count that a file of this size cannot hold is refused before anything is sized.
    const Read huge = run("Number of atoms  ....  9000000\n" + water(0.1));
    EXPECT_EQ(huge.message, "Atom count 9000000 is more than the 6 lines of the file can hold");
    EXPECT_EQ(huge.routine, "readorca");

    for (const std::string& text :
         {water(0.1), "Number of atoms\n" + water(0.1), "Number of atoms -3\n" + water(0.1)}) {
        const Read r = run(text);
        EXPECT_EQ(r.out, "NAT is 0 (zerooooo!!!) stopping now ...\n") << text;
        EXPECT_EQ(r.message, "No ATOMS found") << text;
        EXPECT_EQ(r.routine, "readorca") << text;
    }
}

} // namespace
