#include "control/control.h"
#include "control/dispatch.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

class ReadFile : public testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name) << text;
        return (dir_ / name).string();
    }

    // Reads a file of the given type; keeps what was printed and how the run ended.
    void read(std::string_view type, const std::string& path) {
        s_.inputtype = std::string(type);
        s_.inputfile = path;
        testing::internal::CaptureStdout();
        try {
            readfile(s_);
        } catch (const RunError& e) {
            message_ = e.what();
            routine_ = e.routine;
        }
        printed_ = testing::internal::GetCapturedStdout();
    }

    fs::path dir_ = fs::temp_directory_path() /
                    ("kru_readfile_" +
                     std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    Store s_;
    std::string message_, routine_, printed_;
};

TEST_F(ReadFile, ZmatrixInputBecomesCartesian) {
    read("DAT", file("water.dat", "\n\n\nO 0.0 0.0 0.0 0 0 0 0 0 0\n"
                                  "H 0.96 0.0 0.0 1 0 0 1 0 0\nH 0.96 104.5 0.0 1 1 0 1 2 0\n"));
    ASSERT_EQ(message_, "") << printed_;
    EXPECT_TRUE(s_.inputkmatrix);
    const double r = 0.96 / 0.5291772484779358;
    const double theta = 104.5 * 0.017453292519943295;
    EXPECT_EQ(s_.xyz(1, 2), r);
    EXPECT_NEAR(s_.xyz(1, 3), r * std::cos(theta), 1e-14);
    EXPECT_NEAR(s_.xyz(2, 3), r * std::sin(theta), 1e-14);
    EXPECT_EQ(s_.zmat(2, 3), theta); // the internal coordinates stay as read
}

TEST_F(ReadFile, SideFilesAfterTheReader) {
    s_.verbose = s_.newkmatrix = s_.lisotp = true;
    s_.kmatrixfile = file("k.txt", "\n1\n1 2\n");
    s_.isotpfile = file("iso.txt", "2 2.0141 3 2.0141\n");
    const std::string mol = file("mol.xyz", "3\n\nO 0.0 0.0 0.0\nH 1.0 0.0 0.0\nH 0.0 1.0 0.0\n");
    read("XYZ", mol);
    ASSERT_EQ(message_, "") << printed_;
    EXPECT_FALSE(s_.inputkmatrix);
    EXPECT_EQ(printed_, " Reading K-matrix\n Reading ISOTP file\n");
    EXPECT_EQ(s_.kmatrx(2, 3), 2);
    EXPECT_EQ(s_.nisotp, 2);

    // A side file that does not exist.
    s_ = Store();
    s_.newkmatrix = true;
    s_.kmatrixfile = (dir_ / "none").string();
    read("XYZ", mol);
    EXPECT_EQ(message_, "Error opening inputfile");
    EXPECT_EQ(routine_, "readfile");
    s_ = Store();
    s_.lisotp = true;
    s_.isotpfile = (dir_ / "none").string();
    read("XYZ", mol);
    EXPECT_EQ(message_, "Error opening isotpfile");
    EXPECT_EQ(routine_, "readfile");
}

} // namespace
