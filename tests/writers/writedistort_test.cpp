#include "control/control.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string allmodes =
    "\nImaginary frequencies found, adding distortions along normal mode vectors,\n"
    "that can be used as starting point for new geometry optimization;\n"
    "first, we assume that a optimization is performed, and therefore that\n"
    "there should be no imaginary frequencies at all.\n\n";
const std::string length1 = "Length of distortion vector:     1.0000\n";
const std::string written =
    "\nWritten distorted geometries to *fwd.angs and *rev.angs files respectively.\n";
const std::string writtents =
    "\nWritten distorted geometries to *fwdTS.angs and *revTS.angs files respectively.\n";
const std::string nofiles =
    "\nNo distortion along the remaining imaginary modes; no files written.\n";
const std::string onlyone = "\nPlease note, that if it is a Transition State you are after,\n"
                            "you should ignore the above distorted geometry;\n"
                            "there is already only ONE imaginary frequency,\n"
                            "which is what you need for a Transition State.\n\n";
// Up to the first pair, for one imaginary mode of -50 cm-1 and the default settings.
const std::string onemode =
    allmodes + "Imaginary frequency     1 Freq   -50.0000 Relative Factor     0.6000\n" + length1;

std::string tsexplanation(const std::string& mode) {
    return "\nAssuming a Transition State search, e.g. one imaginary frequency\n"
           "is wanted, assumed to be " +
           mode +
           ", and distort along all\n"
           "other imaginar frequency normal modes.\n\n";
}

std::string field(const char* x) {
    return std::string(10 - std::strlen(x), ' ') + x;
}

// The molecule's file in output order O2 C1 H3, with the coordinates the tests move.
std::string geometry(const char* o2x, const char* h3y, const char* c1y = "0.00000") {
    const std::string zero = "  " + field("0.00000");
    return "A2          " + ("  " + field(o2x)) + zero + zero + "\n" + "A1          " + zero +
           "  " + field(c1y) + zero + "\n" + "A3          " + "  " + field("1.50000") + "  " +
           field(h3y) + zero + "\n";
}

// C1 O2 H3 (Angstrom), bonded C1-O2-H3, written in the order O2 C1 H3, with the given modes.
void molecule(Store& s, const std::vector<double>& freqs) {
    s.nvib = int(freqs.size());
    testing_store::build(
        s, {{6, 0.0, 0.0, 0.0, {2}}, {8, 1.2, 0.0, 0.0, {1, 3}}, {1, 1.5, 0.9, 0.0, {2}}},
        {2, 1, 3});
    for (int k = 1; k <= s.nvib; ++k) {
        s.vibs(k) = freqs[std::size_t(k - 1)];
    }
}

struct Result {
    std::string out;
    std::map<std::string, std::string> files; // by suffix after the output file's name
};

class Writedistort : public testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kru_writedistort_" + std::to_string(::getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Result run(Store& s) {
        s.outputfile = (dir / "mol.xyz").string();
        Result r;
        testing::internal::CaptureStdout();
        writedistort(s);
        r.out = testing::internal::GetCapturedStdout();
        r.files = files();
        return r;
    }

    RunError fail(Store& s) {
        testing::internal::CaptureStdout();
        try {
            writedistort(s);
        } catch (const RunError& e) {
            EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
            return e;
        }
        testing::internal::GetCapturedStdout();
        ADD_FAILURE() << "writedistort did not fail";
        return RunError("", "");
    }

    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> found;
        for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
            std::ifstream in(e.path());
            std::stringstream text;
            text << in.rdbuf();
            found[e.path().filename().string().substr(7)] = text.str();
        }
        return found;
    }

    fs::path dir;
};

TEST_F(Writedistort, NothingWithoutImaginaryModes) {
    const std::vector<std::vector<double>> freqs{{}, {0.0, 150.0}};
    for (const std::vector<double>& f : freqs) {
        for (long long idtsrc : {0, 99}) { // no mode number to check without imaginary modes
            Store s;
            molecule(s, f);
            s.idtsrc = idtsrc;
            const Result r = run(s);
            EXPECT_EQ(r.out, "");
            EXPECT_TRUE(r.files.empty());
        }
    }
}

TEST_F(Writedistort, OneImaginaryModeWritesForwardAndReverse) {
    Store s;
    molecule(s, {-50.0, 120.0, 900.0});
    s.vibvec(1, 2, 1) = 0.7;
    s.vibvec(3, 3, 2) = 1.0; // real modes do not distort
    s.vibvec(1, 1, 3) = 1.0;
    const Result r = run(s);
    EXPECT_EQ(r.out, onemode + written + onlyone);
    const std::map<std::string, std::string> want{{"-fwd.angs", geometry("1.72918", "0.90000")},
                                                  {"-rev.angs", geometry("0.67082", "0.90000")}};
    EXPECT_EQ(r.files, want);
}

struct DirectionCase {
    std::vector<int> o2partners, c1partners;
    double o2x, c1y;             // the mode vector
    const char *fwdo2x, *fwdc1y; // O2's x and C1's y in the forward file
};

TEST_F(Writedistort, ForwardWeakensTheStrongestBondToAHeavyNeighbour) {
    const DirectionCase cases[] = {
        {{1, 3}, {2}, 0.7, 0.0, "1.72918", "0.00000"},
        {{1, 3}, {2}, -0.7, 0.0, "1.72918", "0.00000"}, // the vector's sign does not matter
        {{3}, {2}, 0.7, 0.0, "1.72918", "0.00000"},     // hydrogen would say the other way
        {{}, {2}, -0.7, 0.0, "0.67082", "0.00000"},     // no partner: xyz + D
        {{1, 3}, {}, -1.0, 1.0, "0.82582", "0.37418"},  // of equally moved atoms C1 decides
    };
    for (const DirectionCase& c : cases) {
        Store s;
        molecule(s, {-50.0});
        for (auto [atom, partners] : {std::pair{2, c.o2partners}, std::pair{1, c.c1partners}}) {
            s.iconn(0, atom) = int(partners.size());
            for (std::size_t k = 0; k < partners.size(); ++k) {
                s.iconn(int(k) + 1, atom) = partners[k];
            }
        }
        s.vibvec(1, 2, 1) = c.o2x;
        s.vibvec(2, 1, 1) = c.c1y;
        const Result r = run(s);
        EXPECT_EQ(r.files.at("-fwd.angs"), geometry(c.fwdo2x, "0.90000", c.fwdc1y))
            << c.o2partners.size() << " " << c.o2x;
    }
}

TEST_F(Writedistort, TwoImaginaryModesAddTheTransitionStatePair) {
    Store s;
    molecule(s, {-300.0, -40.0});
    s.vibvec(1, 2, 1) = 1.0;
    s.vibvec(2, 3, 2) = 1.0;
    const Result r = run(s);
    EXPECT_EQ(r.out, allmodes +
                         "Imaginary frequency     1 Freq  -300.0000 Relative Factor     1.0000\n"
                         "Imaginary frequency     2 Freq   -40.0000 Relative Factor     0.5000\n" +
                         length1 + written + tsexplanation(" 1") +
                         "Imaginary frequency     2 Freq   -40.0000 Factor     0.5000\n" +
                         writtents);
    const std::map<std::string, std::string> want{{"-fwd.angs", geometry("1.67331", "1.13666")},
                                                  {"-rev.angs", geometry("0.72669", "0.66334")},
                                                  {"-fwdTS.angs", geometry("1.20000", "1.42918")},
                                                  {"-revTS.angs", geometry("1.20000", "0.37082")}};
    EXPECT_EQ(r.files, want);
}

TEST_F(Writedistort, SelectionTakesTheFirstOfTheLowestModes) {
    Store s;
    molecule(s, {-40.0, -300.0, -300.0});
    s.distortsel = "SINGLE";
    s.vibvec(1, 2, 1) = 1.0;
    s.vibvec(2, 3, 2) = 1.0;
    s.vibvec(2, 1, 3) = 1.0;
    const Result r = run(s);
    EXPECT_EQ(r.out,
              "\nImaginary frequencies found, adding distortions along the TSRC normal mode "
              "vector,\n"
              "that can be used as starting point for a poor-man's IRC (fwd/rev optimization)\n"
              "It is assumed that the TSRC frequency is number :    2\n"
              "you can set this with -ts ID option of kru\n"
              "Imaginary frequency     2 Freq  -300.0000 Relative Factor     1.0000\n" +
                  length1 + written + tsexplanation(" 2") +
                  "Imaginary frequency     1 Freq   -40.0000 Factor     0.5000\n"
                  "Imaginary frequency     3 Freq  -300.0000 Factor     1.0000\n" +
                  writtents);
    const std::map<std::string, std::string> want{
        {"-fwd.angs", geometry("1.20000", "1.42918")},
        {"-rev.angs", geometry("1.20000", "0.37082")},
        {"-fwdTS.angs", geometry("1.43666", "0.90000", "0.47331")},
        {"-revTS.angs", geometry("0.96334", "0.90000", "-0.47331")}};
    EXPECT_EQ(r.files, want);
}

// The transition-state pair is written without the direction test: forward is xyz + D.
TEST_F(Writedistort, IdtsrcStartsTheTransitionStatePartWithOneImaginaryMode) {
    Store s;
    molecule(s, {-50.0, 100.0, 200.0});
    s.idtsrc = 3;
    s.vibvec(1, 2, 1) = -1.0;
    s.vibvec(2, 3, 3) = 1.0;
    const Result r = run(s);
    EXPECT_EQ(r.out, onemode + written + tsexplanation(" 3") +
                         "Imaginary frequency     1 Freq   -50.0000 Factor     0.6000\n" +
                         writtents);
    const std::map<std::string, std::string> want{{"-fwd.angs", geometry("1.72918", "0.90000")},
                                                  {"-rev.angs", geometry("0.67082", "0.90000")},
                                                  {"-fwdTS.angs", geometry("0.67082", "0.90000")},
                                                  {"-revTS.angs", geometry("1.72918", "0.90000")}};
    EXPECT_EQ(r.files, want);
}

TEST_F(Writedistort, ZeroDistortionWritesNoFiles) {
    Store s;
    molecule(s, {-50.0});
    s.idtsrc = 1; // the only imaginary mode is kept: nothing is left to distort along
    s.vibvec(1, 2, 1) = 1.0;
    Result r = run(s);
    EXPECT_EQ(r.out, onemode + written + tsexplanation(" 1") + nofiles);
    EXPECT_EQ(r.files.size(), 2U);
    EXPECT_FALSE(r.files.contains("-fwdTS.angs"));

    fs::remove_all(dir);
    fs::create_directories(dir);
    Store zero;
    molecule(zero, {-50.0}); // an imaginary mode without a vector
    r = run(zero);
    EXPECT_EQ(r.out, onemode + nofiles + onlyone);
    EXPECT_TRUE(r.files.empty());
}

TEST_F(Writedistort, IdtsrcOutsideTheModesEndsTheRun) {
    for (long long idtsrc : {-1, 4}) {
        Store s;
        molecule(s, {-50.0, 100.0, 200.0});
        s.idtsrc = idtsrc;
        s.outputfile = (dir / "mol.xyz").string();
        const RunError e = fail(s);
        EXPECT_STREQ(e.what(), "IDTSRC is not a mode number");
        EXPECT_EQ(e.routine, "writedistort");
        EXPECT_TRUE(files().empty());
    }
}

TEST_F(Writedistort, LabelsAndLength) {
    Store s;
    molecule(s, {-50.0});
    s.fdistort = 0.5;
    s.atdescr(1) = std::string(10, ' '); // a blank label writes the 2-character symbol
    s.atdescr(2) = fixedtext("OXT", 10);
    s.atdescr(3) = std::string(10, ' ');
    s.vibvec(1, 2, 1) = 1.0;
    const Result r = run(s);
    EXPECT_NE(r.out.find("Length of distortion vector:     0.5000\n"), std::string::npos);
    EXPECT_EQ(r.files.at("-fwd.angs"), "OXT              1.46459     0.00000     0.00000\n"
                                       "C        0.00000     0.00000     0.00000\n"
                                       "H        1.50000     0.90000     0.00000\n");
}

TEST_F(Writedistort, FileFailures) {
    Store s;
    molecule(s, {-50.0});
    s.vibvec(1, 2, 1) = 1.0;
    s.outputfile = (dir / "missing" / "mol.xyz").string();
    testing::internal::CaptureStdout();
    try {
        writedistort(s);
        ADD_FAILURE() << "writedistort did not fail";
    } catch (const RunError& e) {
        EXPECT_STREQ(e.what(), "Error opening outputfile-fwd");
        EXPECT_EQ(e.routine, "writefile");
    }
    testing::internal::GetCapturedStdout();

    // A distortion file that would replace the file the run read is refused.
    s.inputfile = (dir / "mol.xyz-rev.angs").string();
    std::ofstream(dir / "mol.xyz-rev.angs") << "keep\n";
    s.outputfile = (dir / "mol.xyz").string();
    const RunError e = fail(s);
    EXPECT_STREQ(e.what(), "Output file would overwrite an input file");
    EXPECT_EQ(e.routine, "writefile");
    const std::map<std::string, std::string> want{{"-rev.angs", "keep\n"}};
    EXPECT_EQ(files(), want);
}

} // namespace
