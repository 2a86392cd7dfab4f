// The Gaussian reader on real outputs, beyond the suite's general checks: the optimisation's
// sequence and its repeated converged geometry, a relaxed scan's points, a correlated energy, the
// high-precision modes, and a frequency run cut inside its modes.
#include "control/files.h"
#include "readers/readers.h"
#include "realoutput.h"
#include "testfiles.h"

namespace {

using namespace realoutput;

constexpr double ev_per_hartree = 27.21138505;

#define SKIP_WITHOUT(file)                                                                         \
    if (!present(file)) {                                                                          \
        GTEST_SKIP() << "real outputs not found at " << path("");                                  \
    }

// Each step's standard orientation with the SCF energy after it; the converged geometry printed
// once more takes the run's last energy. IDGEO picks a step, the run's energy stays the last.
TEST(ReadgaussianRealdata, OptimisationStepsAndTheRepeatedConvergedGeometry) {
    SKIP_WITHOUT("Gaussian/dvb_gopt.out");
    const nlohmann::json ref = reference("Gaussian/dvb_gopt.out");
    const nlohmann::json& geometries = ref.at("geometries_angstrom");
    const nlohmann::json& energies = ref.at("energies_eV");
    const RealRun r = readreal("GAUSS", "Gaussian/dvb_gopt.out");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nrjobs, 1);
    ASSERT_EQ(r.s.ngeom, int(geometries.size()) + 1);
    for (int g = 1; g <= r.s.ngeom; ++g) {
        const std::size_t i = std::size_t(std::min(g, int(geometries.size())) - 1);
        EXPECT_LT(geometrydeviation(r.s, geometries.at(i), g), 1.0000001e-6) << "geometry " << g;
        EXPECT_NEAR(r.s.egeo(g) * ev_per_hartree, energies.at(i).get<double>(), 1e-5)
            << "geometry " << g;
        EXPECT_EQ(r.s.scanpoint(g), 0);
    }
    EXPECT_EQ(r.s.energy, r.s.egeo(5));

    const RealRun second = readreal("GAUSS", "Gaussian/dvb_gopt.out", "IDGEO 2\n");
    ASSERT_EQ(second.message, "") << second.out;
    EXPECT_LT(finaldeviation(second.s, geometries.at(1)), 1.0000001e-6);
    EXPECT_EQ(second.s.energy, r.s.energy);
}

// 13 scan points in 61 steps: each step knows its point, the last step of each point ends it,
// and the converged geometry printed after the scan belongs to no point.
TEST(ReadgaussianRealdata, RelaxedScanPoints) {
    SKIP_WITHOUT("Gaussian/dvb_scan_relaxed.log");
    const nlohmann::json ref = reference("Gaussian/dvb_scan_relaxed.log");
    const nlohmann::json& energies = ref.at("energies_eV");
    const RealRun r = readreal("GAUSS", "Gaussian/dvb_scan_relaxed.log");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(energies.size(), 61U);
    ASSERT_EQ(r.s.ngeom, 62);
    int ends = 0;
    for (int g = 1; g <= 61; ++g) {
        EXPECT_NEAR(r.s.egeo(g) * ev_per_hartree, energies.at(std::size_t(g - 1)).get<double>(),
                    1e-5)
            << "geometry " << g;
        const int point = r.s.scanpoint(g);
        const int next = g < 61 ? r.s.scanpoint(g + 1) : 14;
        EXPECT_TRUE(next == point || next == point + 1) << "geometry " << g;
        // A point ends exactly where the next begins.
        EXPECT_EQ(r.s.scanend(g), next != point ? 1 : 0) << "geometry " << g;
        ends += r.s.scanend(g);
    }
    EXPECT_EQ(r.s.scanpoint(1), 1);
    EXPECT_EQ(r.s.scanend(1), 1) << "the first point starts at its optimum";
    EXPECT_EQ(r.s.scanpoint(61), 13);
    EXPECT_EQ(ends, 13);
    EXPECT_EQ(r.s.scanpoint(62), 0);
    EXPECT_EQ(r.s.scanend(62), 0);
    EXPECT_EQ(r.s.egeo(62), r.s.egeo(61));
}

// The MP2 total (printed with a D exponent), not the SCF energy before it.
TEST(ReadgaussianRealdata, CorrelatedEnergy) {
    SKIP_WITHOUT("Gaussian/water_mp2.log");
    const RealRun r = readreal("GAUSS", "Gaussian/water_mp2.log");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_DOUBLE_EQ(r.s.energy, -75.002282127454);
    EXPECT_DOUBLE_EQ(r.s.egeo(1), -75.002282127454);
}

// The high-precision blocks come first and win over the 3-column repetition of the same modes;
// the xtb file has only 3-column blocks, no end line and no note.
TEST(ReadgaussianRealdata, HighPrecisionModesPreferred) {
    SKIP_WITHOUT("Gaussian/dvb_ir.out");
    const auto read = [](const std::string& file) {
        Store s;
        InputFile in(slurp(path(file)));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        readgaussian(s, in);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::internal::GetCapturedStdout() + err, "") << file;
        return s;
    };
    const Store ir = read("Gaussian/dvb_ir.out");
    ASSERT_EQ(ir.nvib, 54);
    EXPECT_EQ(ir.vibvec(3, 1, 1), -0.08074);  // "3     1     6         -0.08074"
    EXPECT_EQ(ir.vibvec(1, 20, 54), 0.00069); // the last block of five holds four modes
    EXPECT_EQ(ir.frqintns(10), 1.8993);

    const Store xtb = read("Gaussian/xtb_dvb_ir_g98.out");
    ASSERT_EQ(xtb.nvib, 54);
    EXPECT_EQ(xtb.vibvec(3, 12, 1), -0.51);
    EXPECT_EQ(xtb.energy, 0.0);
}

// Cut inside the high-precision modes: what was read converts, the modes read in full are
// kept, and the run is noted as unfinished.
TEST(ReadgaussianRealdata, FrequencyRunCutInsideTheModes) {
    SKIP_WITHOUT("Gaussian/dvb_ir.out");
    const std::string text = slurp(path("Gaussian/dvb_ir.out"));
    // Into the third block of five (modes 11 to 15), after the rows of atom 1.
    const std::size_t block = text.find("Frequencies ---   578.5256");
    ASSERT_NE(block, std::string::npos);
    const std::size_t cut = text.find("\n   1     2     6", block);
    ASSERT_NE(cut, std::string::npos);
    Store s;
    InputFile in(text.substr(0, cut + 1));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    readgaussian(s, in);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout() + err,
              " The normal modes end early: 10 of the 15 vibrations are read in full and kept.\n"
              "kru: note: the run did not finish: final structure is geometry 1 of 1, the last "
              "complete one\n");
    EXPECT_EQ(s.nvib, 10);
    EXPECT_EQ(s.vibs(10), 486.7028);
}

} // namespace
