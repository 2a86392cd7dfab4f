#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;

struct GaussRead : Read {
    std::string err;
};

GaussRead run(std::string text, long long job = 0) {
    GaussRead r;
    r.s.job = job;
    testing::internal::CaptureStderr();
    readinto(r, &readgaussian, std::move(text));
    r.err = testing::internal::GetCapturedStderr();
    return r;
}

const std::string entering = " Entering Gaussian System, Link 0=g16\n";
const std::string link1 = " Link1:  Proceeding to internal job step number  2.\n";
const std::string normal = " Normal termination of Gaussian 16 at Wed Apr  4 10:19:28 2018.\n";
const std::string rule = " ---------------------------------------------------------------------\n";

// An orientation table of water, oxygen at height z; without the type column as the oldest
// versions print it.
std::string table(const std::string& kind, double z, bool typecolumn = true, int hydrogen = 1) {
    const std::string type = typecolumn ? "           0" : "";
    char oxygen[96];
    std::snprintf(oxygen, sizeof oxygen, "%12.6f\n", z);
    const std::string h = "          " + std::to_string(hydrogen);
    return "                         " + kind + " orientation:\n" + rule +
           " Center     Atomic      Atomic             Coordinates (Angstroms)\n"
           " Number     Number       Type             X           Y           Z\n" +
           rule + "      1          8" + type + "        0.000000    0.000000" + oxygen +
           "      2" + h + type + "        0.000000    0.757200   -0.469200\n" + "      3" + h +
           type + "        0.000000   -0.757200   -0.469200\n" + rule;
}

std::string scf(const std::string& e) {
    return " SCF Done:  E(RHF) =  " + e + "     A.U. after   10 cycles\n";
}

TEST(Readgaussian, JobsStartAtLink1StepsAndAtProgramStartsThatOpenNone) {
    // Older versions print a program start after the Link1 line: the same job. Two runs put
    // into one file: the second start opens a job.
    const std::string text = entering + table("Standard", 0.1) + scf("-76.1") + normal + link1 +
                             entering + table("Standard", 0.2) + scf("-76.2") + normal + entering +
                             table("Standard", 0.3) + scf("-76.3");
    for (const auto& [job, z] : {std::pair{1, 0.1}, std::pair{2, 0.2}, std::pair{0, 0.3}}) {
        const GaussRead r = run(text, job);
        ASSERT_EQ(r.message, "") << r.out;
        EXPECT_EQ(r.s.nrjobs, 3);
        ASSERT_EQ(r.s.ngeom, 1) << "JOB " << job;
        EXPECT_DOUBLE_EQ(r.s.xyz(3, 1), z / bohr) << "JOB " << job;
        EXPECT_DOUBLE_EQ(r.s.energy, -76.0 - z) << "JOB " << job;
        // Only the last job lacks its end line.
        EXPECT_EQ(r.err, job == 0 ? "kru: note: the run did not finish: final structure is "
                                    "geometry 1 of 1, the last complete one\n"
                                  : "")
            << "JOB " << job;
    }
    const GaussRead beyond = run(text, 4);
    EXPECT_EQ(beyond.message, "No atoms found");
    EXPECT_EQ(beyond.routine, "readgaussian");
}

TEST(Readgaussian, StandardOrientationWhenPrintedElseInputOrientation) {
    const GaussRead both = run(table("Input", 0.5) + table("Standard", 0.1) + table("Input", 0.6) +
                               table("Standard", 0.2) + normal);
    ASSERT_EQ(both.message, "") << both.out;
    ASSERT_EQ(both.s.ngeom, 2);
    EXPECT_DOUBLE_EQ(both.s.xgeo(3, 1, 1), 0.1 / bohr);
    EXPECT_DOUBLE_EQ(both.s.xgeo(3, 1, 2), 0.2 / bohr);
    EXPECT_EQ(both.s.iat(1), 8);
    EXPECT_EQ(both.s.iat(3), 1);

    // Symmetry off: input orientation only; the oldest layout has no type column.
    const GaussRead input = run(table("Input", 0.5, false) + table("Input", 0.6, false) + normal);
    ASSERT_EQ(input.message, "") << input.out;
    ASSERT_EQ(input.s.ngeom, 2);
    EXPECT_DOUBLE_EQ(input.s.xyz(3, 1), 0.6 / bohr);
    EXPECT_DOUBLE_EQ(input.s.xyz(2, 2), 0.7572 / bohr);
}

TEST(Readgaussian, TablesThatAreNoGeometry) {
    // A table of another atom count is passed over, and so is one the end of the file cuts.
    std::string other = table("Standard", 0.9);
    other.insert(other.rfind(rule), "      4          1           0   1.0 1.0 1.0\n");
    const std::string whole = table("Standard", 0.1) + other + table("Standard", 0.2);
    const GaussRead r = run(whole.substr(0, whole.size() - rule.size()));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 3);
    ASSERT_EQ(r.s.ngeom, 1);
    EXPECT_DOUBLE_EQ(r.s.xyz(3, 1), 0.1 / bohr);

    // A ghost atom (0) is the dummy atom; a number beyond the elements ends the run.
    const GaussRead ghost = run(table("Standard", 0.1, true, 0));
    ASSERT_EQ(ghost.message, "") << ghost.out;
    EXPECT_EQ(ghost.s.iat(2), 94);
    const GaussRead unknown = run(table("Standard", 0.1, true, 120));
    EXPECT_EQ(unknown.message, "Unknown atomtype found");
    EXPECT_EQ(unknown.out.substr(0, 27), "Unknown atomtype found: **\n");

    EXPECT_EQ(run(entering + scf("-1.0") + normal).message, "No atoms found");
}

TEST(Readgaussian, EnergyOfTheJobsMethod) {
    // An MP4 job: the SCF, MP2 and MP3 energies come first; the route's method names carry no
    // value. A further total before the next table is a point not printed; the repeated
    // converged geometry takes the last.
    const std::string mp4 = " E2 =    -0.2D+00 EUMP2 =    -0.76200000000D+02\n"
                            " E3=       -0.1D-01        EUMP3=      -0.76300000000D+02\n"
                            " E4(SDTQ)= -0.3D-02        UMP4(SDTQ)= ";
    const std::string text = entering + " #P MP4/cc-pVDZ Opt CCSD(T) QCISD(T)\n" +
                             table("Standard", 0.1) + scf("-76.0") + mp4 + "-0.76410000000D+02\n" +
                             table("Standard", 0.2) + scf("-76.0") + mp4 + "-0.76420000000D+02\n" +
                             mp4 + "-0.76430000000D+02\n" + table("Standard", 0.2) + normal;
    const GaussRead r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 3);
    EXPECT_DOUBLE_EQ(r.s.egeo(1), -76.41);
    EXPECT_DOUBLE_EQ(r.s.egeo(2), -76.42);
    EXPECT_DOUBLE_EQ(r.s.egeo(3), -76.43);
    EXPECT_DOUBLE_EQ(r.s.energy, -76.43);
}

// A 3-column block of three modes of water, the first two imaginary.
std::string lowblock(const std::string& atomhead) {
    return " Harmonic frequencies (cm**-1), IR intensities (KM/Mole), Raman scattering\n"
           "                      1                      2                      3\n"
           "                     A1                     B2                     A1\n"
           " Frequencies --  -1655.1234             -820.5000              3811.0000\n"
           " Red. masses --      1.0800                 1.0500                 1.0400\n"
           " IR Inten    --     71.2000                 0.0000                25.3000\n"
           " Raman Activ --      5.0000                 1.0000                 2.0000\n" +
           atomhead +
           "     1   8     0.00   0.00   0.07     0.00   0.07   0.00     0.00   0.00  -0.05\n"
           "     2   1     0.00  -0.43  -0.56     0.00  -0.55   0.43     0.00   0.58   0.40\n"
           "     3   1     0.00   0.43  -0.56     0.00  -0.55  -0.43     0.00  -0.58   0.40\n"
           "                     Thermochemistry\n";
}

TEST(Readgaussian, ThreeColumnModes) {
    const GaussRead r =
        run(table("Standard", 0.1) + scf("-76.0") +
            lowblock("  Atom  AN      X      Y      Z        X      Y      Z        X "
                     "     Y      Z\n") +
            normal);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 3);
    EXPECT_EQ(r.s.vibs(1), -1655.1234);
    EXPECT_EQ(r.s.vibs(2), -820.5);
    EXPECT_EQ(r.s.frqintns(1), 71.2);
    EXPECT_EQ(r.s.frqintns(3), 25.3);
    EXPECT_EQ(r.s.vibvec(3, 1, 1), 0.07);
    EXPECT_EQ(r.s.vibvec(2, 3, 2), -0.55);
    EXPECT_EQ(r.s.vibvec(3, 3, 3), 0.40);

    // A later section replaces the modes of an earlier one; the row head may be spaced otherwise.
    std::string second = lowblock(" Atom AN      X      Y      Z\n");
    second.replace(second.find("-1655.1234"), 10, "  100.0000");
    const GaussRead again = run(table("Standard", 0.1) + lowblock(" Atom AN\n") + second + normal);
    ASSERT_EQ(again.message, "") << again.out;
    ASSERT_EQ(again.s.nvib, 3);
    EXPECT_EQ(again.s.vibs(1), 100.0);
    EXPECT_EQ(again.s.vibvec(3, 1, 1), 0.07);

    // More modes than the atoms have are refused before anything is sized.
    const GaussRead many = run(table("Standard", 0.1) + lowblock(" Atom AN\n") +
                               " Frequencies --  1.0 2.0 3.0 4.0 5.0 6.0 7.0\n");
    EXPECT_EQ(many.message, "Mode count 10 is more than the 9 modes of 3 atoms");
}

TEST(Readgaussian, HighPrecisionModesBeforeTheThreeColumnOnes) {
    const std::string high = " Harmonic frequencies (cm**-1), IR intensities (KM/Mole)\n"
                             "                           1         2\n"
                             "                          A1        B2\n"
                             "       Frequencies ---  1600.12345 3700.5\n"
                             "    IR Intensities ---    60.0      40.0\n"
                             " Coord Atom Element:\n"
                             "   1     1     8          0.00000   0.00000\n"
                             "   2     1     8          0.00000   0.07001\n"
                             "   3     1     8          0.07002   0.00000\n"
                             "   1     2     1          0.00000   0.00000\n"
                             "   2     2     1         -0.43003  -0.55004\n"
                             "   3     2     1         -0.56005   0.43006\n"
                             "   1     3     1          0.00000   0.00000\n"
                             "   2     3     1          0.43007  -0.55008\n"
                             "   3     3     1         -0.56009  -0.43010\n";
    const GaussRead r = run(table("Standard", 0.1) + high + lowblock(" Atom AN\n") + normal);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nvib, 2);
    EXPECT_EQ(r.s.vibs(1), 1600.12345);
    EXPECT_EQ(r.s.frqintns(2), 40.0);
    EXPECT_EQ(r.s.vibvec(3, 1, 1), 0.07002);
    EXPECT_EQ(r.s.vibvec(3, 3, 2), -0.43010);
}

} // namespace
