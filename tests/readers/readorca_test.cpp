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
    r = run("Number of atoms 3\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.message, "No coordinates found");
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

    for (const std::string& text :
         {water(0.1), "Number of atoms\n" + water(0.1), "Number of atoms -3\n" + water(0.1)}) {
        const Read r = run(text);
        EXPECT_EQ(r.out, "NAT is 0 (zerooooo!!!) stopping now ...\n") << text;
        EXPECT_EQ(r.message, "No ATOMS found") << text;
        EXPECT_EQ(r.routine, "readorca") << text;
    }
}

} // namespace
