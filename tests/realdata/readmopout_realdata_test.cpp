// Real MOPAC outputs read through the library, against the tables they print.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;
constexpr double kcal = 627.509521484375; // per Hartree

struct Reading {
    Store s;
    std::string out, message;
};

// Reads MOPAC/<name> with the extra control lines `options`; false when the file is missing.
bool read(Reading& r, const std::string& name, const std::string& options = "") {
    const std::filesystem::path file = std::filesystem::path(KRU_REALDATA) / "MOPAC" / name;
    if (!std::filesystem::exists(file)) {
        return false;
    }
    std::istringstream control("IN  MOPOUT " + std::filesystem::canonical(file).string() + "\n" +
                               options);
    testing::internal::CaptureStdout();
    try {
        processinput(r.s, control);
        readfile(r.s);
        arrange(r.s);
    } catch (const RunError& e) {
        r.message = e.what();
    }
    r.out = testing::internal::GetCapturedStdout();
    return true;
}

void expectatom(const Store& s, int a, double x, double y, double z, double tol) {
    EXPECT_NEAR(s.xyz(1, a) * bohr, x, tol) << "atom " << a;
    EXPECT_NEAR(s.xyz(2, a) * bohr, y, tol) << "atom " << a;
    EXPECT_NEAR(s.xyz(3, a) * bohr, z, tol) << "atom " << a;
}

// The input table and the final table are the sequence; both carry the final heat of formation,
// the only one printed. IDGEO 1 picks the input geometry without changing the run's energy.
TEST(ReadmopoutRealData, Optimisation) {
    for (const std::string idgeo : {"", "IDGEO 1\n"}) {
        SCOPED_TRACE(idgeo);
        Reading r;
        if (!read(r, "dvb_gopt.out", idgeo)) {
            GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
        }
        ASSERT_EQ(r.message, "") << r.out;
        ASSERT_EQ(r.s.nat, 20);
        ASSERT_EQ(r.s.ngeom, 2);
        EXPECT_EQ(r.s.iat(1), 6);
        EXPECT_EQ(r.s.iat(20), 1);
        EXPECT_EQ(r.s.nvib, 0);
        EXPECT_DOUBLE_EQ(r.s.energy, 51.24427 / kcal);
        EXPECT_DOUBLE_EQ(r.s.egeo(1), r.s.energy);
        EXPECT_DOUBLE_EQ(r.s.egeo(2), r.s.energy);
        if (idgeo.empty()) {
            expectatom(r.s, 1, 0.280372823, 1.380025782, 0.007040423, 1e-9);
            expectatom(r.s, 20, 2.354848880, 0.776048423, 0.006955685, 1e-9);
        } else {
            expectatom(r.s, 1, 0.2695, 1.4101, 0.0, 1e-9);
            expectatom(r.s, 20, 2.3648, 0.8132, 0.0, 1e-9);
        }
    }
}

// A FORCE run: the orientation of the vibrations is the final structure, in the frame of the
// normal coordinates; the frequencies are those of the description of the vibrations.
TEST(ReadmopoutRealData, ForceRun) {
    Reading r;
    if (!read(r, "h2o-force.out")) {
        GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
    }
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 3);
    ASSERT_EQ(r.s.ngeom, 2);
    expectatom(r.s, 1, -0.0395, -0.0516, 0.0, 1e-9);
    expectatom(r.s, 3, -0.2903, 0.8700, 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(r.s.egeo(1), -57.798979 / kcal);
    EXPECT_DOUBLE_EQ(r.s.egeo(2), -57.798979 / kcal);

    ASSERT_EQ(r.s.nvib, 3);
    EXPECT_EQ(r.s.vibs(1), 1397.86);
    EXPECT_EQ(r.s.vibs(2), 2809.36);
    EXPECT_EQ(r.s.vibs(3), 2857.09);
    // Rows 1 to 3 are atom 1's x, y, z; root 2 is the 1B2 vibration.
    EXPECT_EQ(r.s.vibvec(1, 1, 1), -0.0320);
    EXPECT_EQ(r.s.vibvec(2, 1, 1), -0.0420);
    EXPECT_EQ(r.s.vibvec(1, 2, 2), 0.4762);
    EXPECT_EQ(r.s.vibvec(2, 3, 2), -0.4592);
    EXPECT_EQ(r.s.vibvec(2, 3, 3), 0.4317);
}

} // namespace
