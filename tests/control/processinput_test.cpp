#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Runs in a scratch folder holding "mol.xyz", so control inputs can name it relatively.
class ControlInput : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kru_control_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        std::ofstream(dir_ / "mol.xyz") << "1\n\nC 0.0 0.0 0.0\n";
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The store after a control input, or the failure with what was printed before it.
    Store read(const std::string& control) {
        log_.str("");
        Store s(RunContext(log_, std::cerr, dir_));
        std::istringstream in(control);
        try {
            processinput(s, in);
            message_.clear();
        } catch (const RunError& e) {
            message_ = e.what();
            routine_ = e.routine;
        }
        printed_ = log_.str();
        return s;
    }

    fs::path dir_;
    std::ostringstream log_; // what the stores of read() print
    std::string message_, routine_, printed_;
};

TEST_F(ControlInput, TypeAndFileColumns) {
    Store s = read("IN  xyz    mol.xyz\nOUT MOLDEN   out.molden   \n");
    EXPECT_EQ(message_, "");
    EXPECT_EQ(s.inputtype, "XYZ");
    EXPECT_EQ(s.inputfile, "mol.xyz");
    EXPECT_EQ(s.outputtype, "MOLDEN");
    EXPECT_EQ(s.outputfile, "out.molden");

    s = read("IN   XYZ   mol.xyz\r\n");
    EXPECT_EQ(s.inputtype, "XYZ"); // left-justified
    EXPECT_EQ(message_, "");       // Windows line ends read like Unix ones
}

TEST_F(ControlInput, DefaultsWithoutKeywords) {
    Store s = read("IN  XYZ    mol.xyz\n");
    EXPECT_EQ(s.idoftl, 1);
    EXPECT_EQ(s.mxvibs, 3);
    EXPECT_EQ(s.idgeo, -1);
    EXPECT_EQ(s.rminfrq, 1.0);
    EXPECT_EQ(s.rmaxfrq, 0.0);
    EXPECT_EQ(s.fdistort, 1.0);
    EXPECT_EQ(s.distortsel, "ALL");
    EXPECT_FALSE(s.reorient || s.reorder || s.verbose || s.debug || s.massie || s.nolt);
}

TEST_F(ControlInput, NumbersAreIntegersOrRealsNeverBoth) {
    Store s = read("IN  XYZ    mol.xyz\nFDISTORT 2\nMXVIBS 3.0\nFRQRANGE 100 500\nIDTSRC 2\n"
                   "JOB 3\nIDGEO 4\nMODELSTART 7\n");
    EXPECT_EQ(s.fdistort, 0.0);
    EXPECT_EQ(s.mxvibs, 0);
    EXPECT_EQ(s.rminfrq, 0.0);
    EXPECT_EQ(s.rmaxfrq, 0.0);
    EXPECT_EQ(s.idtsrc, 2);
    EXPECT_EQ(s.job, 3);
    EXPECT_EQ(s.idgeo, 4);
    EXPECT_EQ(s.modelstart, 7);
    s = read("IN  XYZ    mol.xyz\nFRQRANGE 100.0 500.0\nFDISTORT 0.5\n");
    EXPECT_EQ(s.rminfrq, 100.0);
    EXPECT_EQ(s.rmaxfrq, 500.0);
    EXPECT_EQ(s.fdistort, 0.5);
}

TEST_F(ControlInput, ArgumentCountsGateTheKeywords) {
    Store s = read("IN  XYZ    mol.xyz\nORIENT 1 2\nRANGE 5\n");
    EXPECT_FALSE(s.reorient);
    EXPECT_EQ(s.idrange[0], 0);
    s = read("IN  XYZ    mol.xyz\nORIENT 1 2 3\nRANGE 5 9\n");
    EXPECT_TRUE(s.reorient);
    EXPECT_EQ(s.idorient[2], 3);
    EXPECT_EQ(s.idrange[1], 9);
    s = read("IN  XYZ    mol.xyz\nORDER\n");
    EXPECT_FALSE(s.inporder);
    s = read("IN  XYZ    mol.xyz\nORDER order.txt\n");
    EXPECT_TRUE(s.inporder);
    EXPECT_EQ(s.inporderfile, "order.txt");
}

TEST_F(ControlInput, Flags) {
    for (const char* off : {"IDOFTL 0", "IDOFTL -3", "IDOFTL"}) {
        EXPECT_EQ(read("IN  XYZ    mol.xyz\n" + std::string(off) + "\n").idoftl, 0) << off;
    }
    EXPECT_EQ(read("IN  XYZ    mol.xyz\nIDOFTL 5\n").idoftl, 1);
    EXPECT_TRUE(read("IN  XYZ    mol.xyz\nNOLT true\n").nolt);
    EXPECT_FALSE(read("IN  XYZ    mol.xyz\nNOLT yes\n").nolt);
    Store s = read("IN  XYZ    mol.xyz\nDEBUG\n");
    EXPECT_TRUE(s.debug && s.verbose);
    s = read("IN  XYZ    mol.xyz\nVERBOSE\n");
    EXPECT_TRUE(s.verbose && !s.debug);
    EXPECT_EQ(read("IN  XYZ    mol.xyz\nDISTORTSEL backward\n").distortsel, "backwa");
    EXPECT_EQ(read("IN  XYZ    mol.xyz\nSYS LINUX\n").systemtype, "LINUX");
    EXPECT_EQ(read("IN  XYZ    mol.xyz\nSYSTEM LINUX\n").systemtype, "EM LIN");
}

TEST_F(ControlInput, KmatrixCancelsReorderInEitherOrder) {
    Store s = read("IN  XYZ    mol.xyz\nREORDER\nKMATRIX k.txt\n");
    EXPECT_FALSE(s.reorder);
    EXPECT_TRUE(s.newkmatrix);
    EXPECT_EQ(s.kmatrixfile, "k.txt");
    EXPECT_FALSE(read("IN  XYZ    mol.xyz\nKMATRIX k.txt\nREORDER\n").reorder);
    EXPECT_TRUE(read("IN  XYZ    mol.xyz\nREORDER\n").reorder);
}

TEST_F(ControlInput, Isotopes) {
    Store s = read("IN  XYZ    mol.xyz\nISOTP iso.txt\n");
    EXPECT_TRUE(s.lisotp);
    EXPECT_EQ(s.isotpfile, "iso.txt");
}

TEST_F(ControlInput, UserIdentities) {
    EXPECT_TRUE(read("IN  XYZ    mol.xyz\nUSER ALTER and more\n").massie);
    EXPECT_TRUE(read("IN  XYZ    mol.xyz\nuser alternate   \n").massie);
    EXPECT_TRUE(read("IN  XYZ    mol.xyz\nUSER MASSIE\n").massie);
    EXPECT_FALSE(read("IN  XYZ    mol.xyz\nUSER MASSIE2\n").massie);
    EXPECT_FALSE(read("IN  XYZ    mol.xyz\nUSER ALTERX\n").massie);
}

TEST_F(ControlInput, OnlyUpperCaseKeywordsAtColumnOne) {
    Store s =
        read("in  XYZ    mol.xyz\n IN  XYZ    mol.xyz\nIN  XYZ    mol.xyz\n VERBOSE\nverbose\n");
    EXPECT_EQ(message_, "");
    EXPECT_FALSE(s.verbose);
}

TEST_F(ControlInput, MissingInputFile) {
    read("INPUT XYZ mol.xyz\n");
    EXPECT_EQ(printed_, "Inputfile ol.xyz of type T XYZ  does not exist\n");
    EXPECT_EQ(message_, "Inputfile does not exist");
    EXPECT_EQ(routine_, "processinput");
    read("OUT XYZ    out.xyz\n");
    EXPECT_EQ(printed_, "Inputfile  of type        does not exist\n");
}

TEST_F(ControlInput, OverlongFileNames) {
    read("IN  XYZ    " + std::string(101, 'a') + "\n");
    EXPECT_EQ(message_, "File name longer than 100 characters");
    EXPECT_EQ(routine_, "processinput");
    read("IN  XYZ    mol.xyz\nKMATRIX " + std::string(101, 'k') + "\n");
    EXPECT_EQ(message_, "File name longer than 100 characters");
    read("IN  XYZ    mol.xyz\nORDER " + std::string(101, 'o') + "\n");
    EXPECT_EQ(message_, "File name longer than 100 characters");
}

TEST_F(ControlInput, UnknownOutputTypeLeavesAnEmptyFile) {
    Store s = read("IN  XYZ    mol.xyz\nOUT mol    result.txt\n");
    EXPECT_EQ(s.outputtype, "MOL");
    log_.str("");
    try {
        writefile(s);
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_STREQ(e.what(), "OutputType MOL   not yet implemented");
        EXPECT_EQ(e.routine, "writefile");
    }
    EXPECT_EQ(log_.str(), "OutputType MOL    not yet implemented. Sorry. Contact "
                          "kru-maintainers@example.org\n");
    ASSERT_TRUE(fs::exists(dir_ / "result.txt"));
    EXPECT_EQ(fs::file_size(dir_ / "result.txt"), 0u);
}

TEST_F(ControlInput, OutputNeverOverwritesTheInput) {
    Store s = read("IN  XYZ    mol.xyz\nOUT XYZ    ./mol.xyz\n");
    try {
        writefile(s);
        FAIL() << "no error";
    } catch (const RunError& e) {
        EXPECT_STREQ(e.what(), "Output file would overwrite an input file");
    }
    EXPECT_EQ(fs::file_size(dir_ / "mol.xyz"), 17u);
}

} // namespace

namespace {

TEST_F(ControlInput, ChargeMultiplicityAndTheMethodLine) {
    Store s = read("IN  XYZ    mol.xyz\n");
    EXPECT_FALSE(s.charge || s.mult);
    EXPECT_EQ(s.method, "");
    s = read("IN  XYZ    mol.xyz\nCHARGE -2\nMULT 3\nMETHOD   B3LYP/def2-SVP  Opt Freq   \n");
    EXPECT_EQ(message_, "");
    EXPECT_EQ(s.charge, -2);
    EXPECT_EQ(s.mult, 3);
    EXPECT_EQ(s.method, "B3LYP/def2-SVP  Opt Freq");    // the rest of the line as written
    s = read("IN  XYZ    mol.xyz\nCHARGE 1.0\nMULT\n"); // a real is no charge
    EXPECT_FALSE(s.charge || s.mult);
    read("IN  XYZ    mol.xyz\nMULT 0\n");
    EXPECT_EQ(message_, "MULT must be 1 or more");
    EXPECT_EQ(routine_, "processinput");
}

} // namespace
