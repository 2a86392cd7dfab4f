// The Gaussian reader on real outputs, beyond the suite's general checks: the optimisation's
// sequence with its repeated converged geometry, and a relaxed scan's points.
#include "realoutput.h"

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

} // namespace
