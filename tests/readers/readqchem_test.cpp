#include "control/control.h"
#include "control/files.h"
#include "readers/readers.h"
#include "store/store.h"

#include "readertest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;

// Reads `text`; what the run notes on standard error goes to `err`.
Read run(std::string text, long long job = 0, std::string* err = nullptr) {
    Read r;
    r.s.job = job;
    r.s.idgeo = -1;
    testing::internal::CaptureStderr();
    readinto(r, &readqchem, std::move(text));
    const std::string noted = testing::internal::GetCapturedStderr();
    if (err != nullptr) {
        *err = noted;
    }
    return r;
}

const std::string welcome = "                  Welcome to Q-Chem\n";
const std::string rule = " -----------------------------------------------------\n";

// An orientation table of water whose oxygen lies at z.
std::string water(double z, const std::string& unit = "Angstroms") {
    return rule + "             Standard Nuclear Orientation (" + unit + ")\n" +
           "    I     Atom           X                Y                Z\n" + rule +
           "    1      O       0.0000000000     0.0000000000     " + std::to_string(z) +
           "\n    2      H      -0.7906491549    -0.0000000000    -0.4766374983\n"
           "    3      H       0.7906491549    -0.0000000000    -0.4766374983\n" +
           rule;
}

std::string scf(const std::string& e) {
    return " Total energy in the final basis set =     " + e + "\n";
}

// The layouts of a two-job file: Q-Chem 5 opens each job with its banner, Q-Chem 6 announces it
// first; a banner and an announcement with nothing between them are one job, in either order.
TEST(Readqchem, JobsAndTheirSelection) {
    const std::string one = water(0.1) + scf("-74.1");
    const std::string two = water(0.2) + scf("-74.2");
    const std::string layouts[] = {
        welcome + one + welcome + two,
        "Running Job 1 of 2 w.in\n" + welcome + one + "Running Job 2 of 2 w.in\n" + welcome + two,
        "Running Job 1 of 2 w.in\n" + one + "Running Job 2 of 2 w.in\n" + two,
        welcome + "Running Job 1 of 2 w.in\n" + one + welcome + "Running Job 2 of 2 w.in\n" + two,
    };
    // The closing line of the program ends every job before it normally.
    const std::string thanks = "  *  Thank you very much for using Q-Chem.  Have a nice day.  *\n";
    for (const std::string& layout : layouts) {
        SCOPED_TRACE(layout.substr(0, 30));
        const std::string text = layout + thanks;
        const std::pair<long long, double> picks[] = {{0, 0.2}, {1, 0.1}, {2, 0.2}};
        for (const auto& [job, z] : picks) {
            std::string err;
            const Read r = run(text, job, &err);
            ASSERT_EQ(r.message, "") << r.out;
            EXPECT_EQ(err, "") << "JOB " << job;
            EXPECT_EQ(r.s.nrjobs, 2);
            ASSERT_EQ(r.s.ngeom, 1) << "JOB " << job;
            EXPECT_DOUBLE_EQ(r.s.xyz(3, 1), z / bohr) << "JOB " << job;
            EXPECT_EQ(r.s.energy, z == 0.1 ? -74.1 : -74.2) << "JOB " << job;
        }
        const Read missing = run(text, 3);
        EXPECT_EQ(missing.message, "No atoms found");
        EXPECT_EQ(missing.routine, "readqchem");
    }
}

// A correlated job's geometries take its method's totals, however the words are spaced; the
// SCF energies and spin-component-scaled totals printed among them are passed over. The
// optimiser's final energy stands last; a table no energy follows takes it.
TEST(Readqchem, EnergiesOfTheJobsMethod) {
    const std::string text =
        welcome + water(0.1) + scf("-74.96") + "        MP2         total energy =   -75.001 au\n" +
        water(0.2) + scf("-74.97") + "   SCS-MP2 total energy = -75.5 au\n" +
        "        RI-MP2 TOTAL ENERGY            =      -75.002 au\n" +
        "        MP2 total energy = -75.003 au\n" + " Final energy is   -75.0030000001\n" +
        water(0.3) + "Thank you very much for using Q-Chem.  Have a nice day.\n";
    // The last total printed names the method: MP2 here, RI-MP2 when that line comes last.
    Read r = run(text);
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 3);
    EXPECT_EQ(r.s.egeo(1), -75.001);
    EXPECT_EQ(r.s.egeo(2), -75.003);
    EXPECT_EQ(r.s.egeo(3), -75.0030000001);
    EXPECT_EQ(r.s.energy, -75.0030000001);

    const std::string rimp2 = welcome + water(0.1) + scf("-74.96") +
                              "        RI-MP2 TOTAL ENERGY            =      -75.002 au\n" +
                              "   Sum of the total energy terms = -1.0\n";
    r = run(rimp2);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.egeo(1), -75.002);

    // Without a correlated total the SCF energies are the job's, in either form; an excited
    // state's total is none.
    r = run(welcome + water(0.1) + scf("-74.96") + water(0.2) +
            " Total energy for state  1:   -74.5 au\n Total energy =   -74.97\n" + scf("-74.98"));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.egeo(1), -74.96);
    EXPECT_EQ(r.s.egeo(2), -74.97);
    EXPECT_EQ(r.s.energy, -74.98);
}

// A table in Bohr; a table the end of the file cuts is a geometry only when it holds every atom;
// a symbol that is no element ends the run.
TEST(Readqchem, TableEdges) {
    Read r = run(water(0.2, "Bohr") + water(0.4, "Bohr"));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.iat(1), 8);
    EXPECT_EQ(r.s.iat(3), 1);
    EXPECT_DOUBLE_EQ(r.s.xgeo(3, 1, 1), 0.2);
    EXPECT_DOUBLE_EQ(r.s.xyz(1, 3), 0.7906491549);

    const std::string whole = water(0.1) + water(0.3);
    r = run(whole.substr(0, whole.size() - rule.size()));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.ngeom, 2);
    const std::size_t lasth = whole.rfind("    3      H");
    r = run(whole.substr(0, lasth));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nat, 3);
    EXPECT_EQ(r.s.ngeom, 1);

    std::string unknown = water(0.1);
    unknown.replace(unknown.find("    2      H"), 12, "    2      Q");
    r = run(unknown);
    EXPECT_EQ(r.message, "Unknown atomtype found");
    EXPECT_EQ(r.out.substr(0, 26), "Unknown atomtype found: Q ");
    EXPECT_EQ(r.routine, "readqchem");
}

// Two atoms, five modes: a group of three and a group of two. The vectors are numbered to be
// told apart: mode m, atom a, component k holds m + a / 10 + k / 100.
std::string analysis(int groups) {
    std::string text = " **                       VIBRATIONAL ANALYSIS                       **\n";
    const int first[] = {1, 4};
    const int size[] = {3, 2};
    for (int g = 0; g < groups; ++g) {
        text += " Mode:";
        std::string freq = " Frequency:", ir = " IR Intens:", head = "          ";
        for (int j = 0; j < size[g]; ++j) {
            const int m = first[g] + j;
            text += "  " + std::to_string(m);
            freq += m == 1 ? "  -123.45" : "  " + std::to_string(m * 100) + ".50";
            ir += "  " + std::to_string(m) + ".125";
            head += "   X      Y      Z  ";
        }
        text += "\n" + freq + "\n Force Cnst:  1.0\n" + ir + "\n Raman Active: NO\n" + head + "\n";
        for (int a = 1; a <= 2; ++a) {
            text += a == 1 ? " O   " : " C   ";
            for (int j = 0; j < size[g]; ++j) {
                for (int k = 1; k <= 3; ++k) {
                    text += ' ';
                    text += std::to_string(first[g] + j + a / 10.0 + k / 100.0);
                }
            }
            text += "\n";
        }
        text += " TransDip   0.000  0.000  0.006\n\n";
    }
    return text;
}

std::string carbonmonoxide() {
    return rule + " Standard Nuclear Orientation (Angstroms)\n I Atom X Y Z\n" + rule +
           "    1      O       0.0  0.0  0.0\n    2      C       0.0  0.0  1.128\n" + rule;
}

TEST(Readqchem, VibrationalAnalysis) {
    Read r = run(carbonmonoxide() + analysis(2));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.s.nvib, 5);
    EXPECT_EQ(r.s.vibs(1), -123.45);
    EXPECT_EQ(r.s.vibs(5), 500.5);
    EXPECT_EQ(r.s.frqintns(4), 4.125);
    for (int m = 1; m <= 5; ++m) {
        EXPECT_DOUBLE_EQ(r.s.vibvec(1, 1, m), m + 0.11) << "mode " << m;
        EXPECT_DOUBLE_EQ(r.s.vibvec(3, 2, m), m + 0.23) << "mode " << m;
    }

    // A later analysis replaces an earlier one.
    r = run(carbonmonoxide() + analysis(2) + analysis(1));
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nvib, 3);

    // Cut inside the second group's rows: the modes read in full are kept, and the run says so.
    const std::string text = carbonmonoxide() + analysis(2);
    std::string err;
    r = run(text.substr(0, text.rfind(" C   ")), 0, &err);
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nvib, 3);
    EXPECT_EQ(err, "kru: note: the run did not finish: final structure is geometry 1 of 1, the "
                   "last complete one\n");
    EXPECT_EQ(r.out,
              " The normal modes end early: 3 of the 5 vibrations are read in full and kept.\n");

    // More modes than two atoms have are refused before anything is sized.
    r = run(carbonmonoxide() + " VIBRATIONAL ANALYSIS\n Frequency: 1.0 2.0 3.0 4.0 5.0 6.0 7.0\n");
    EXPECT_EQ(r.message, "Mode count 7 is more than the 6 modes of 2 atoms");
}

} // namespace
