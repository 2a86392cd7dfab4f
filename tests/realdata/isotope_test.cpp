// The isotope recomputation on a real frequency run: one hydrogen of divinylbenzene made a
// deuterium lowers, never raises, the frequencies.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path output = fs::path(KRU_REALDATA) / "ADF" / "dvb_ir.adfout";

class IsotopeRealData : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(output)) {
            GTEST_SKIP() << "The real-data file " << output.string() << " is missing.";
        }
        scratch_ = fs::temp_directory_path() / ("kru_isotope_" + std::to_string(::getpid()));
        fs::create_directories(scratch_);
    }
    void TearDown() override {
        if (!scratch_.empty()) {
            fs::remove_all(scratch_);
        }
    }

    // The frequencies after the arrangement step, with `isotopes` as the isotope file (none
    // when empty).
    std::vector<double> frequencies(const std::string& isotopes) {
        std::string control = "IN  ADFOUT " + output.string() + "\nOUT XYZ    " +
                              (scratch_ / "out.xyz").string() + "\n";
        if (!isotopes.empty()) {
            const fs::path file = scratch_ / "masses.iso";
            std::ofstream(file) << isotopes;
            control += "ISOTP " + file.string() + "\n";
        }
        std::istringstream in(control);
        Store s;
        testing::internal::CaptureStdout();
        try {
            processinput(s, in);
            readfile(s);
            arrange(s);
        } catch (const RunError& e) {
            ADD_FAILURE() << e.routine << ": " << e.what();
        }
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(printed, "");
        std::vector<double> f;
        for (int m = 1; m <= s.nvib; ++m) {
            f.push_back(s.vibs(m));
        }
        std::sort(f.begin(), f.end());
        return f;
    }

    fs::path scratch_;
};

TEST_F(IsotopeRealData, DeuteriumNeverRaisesAFrequency) {
    const std::vector<double> stored = frequencies("");
    // Atom 6 is a hydrogen; its table mass leaves the molecule unsubstituted.
    const std::vector<double> unchanged = frequencies("6 1.0079\n");
    const std::vector<double> deuterated = frequencies("6 2.0141\n");
    ASSERT_EQ(stored.size(), 54u); // 3N - 6 for the 20 atoms
    ASSERT_EQ(unchanged.size(), stored.size());
    ASSERT_EQ(deuterated.size(), stored.size());

    // The printed modes hold four decimals and are not exactly orthonormal, so even the table
    // masses give the stored frequencies back only to about a wavenumber.
    for (std::size_t m = 0; m < stored.size(); ++m) {
        EXPECT_NEAR(unchanged[m], stored[m], 1.0) << "mode " << m + 1;
    }
    // Against the same recomputation with the hydrogen mass: at or below, up to rounding.
    double drop = 0.0;
    for (std::size_t m = 0; m < stored.size(); ++m) {
        EXPECT_LE(deuterated[m], unchanged[m] * (1.0 + 1e-12)) << "mode " << m + 1;
        drop = std::max(drop, unchanged[m] - deuterated[m]);
    }
    // The C-H stretch of that hydrogen becomes a C-D stretch, some 800 cm-1 lower.
    EXPECT_GT(drop, 700.0);
}

} // namespace
