// The Psi4 reader on real outputs, checked against an independent parser's reading of them.
#include "realoutput.h"

namespace {

using namespace realoutput;

// The factor with which the reference turned Hartree into eV.
constexpr double ev_per_hartree = 27.21138505;

void expectatoms(const Store& s, const nlohmann::json& ref) {
    ASSERT_EQ(s.nat, ref.at("natom").get<int>());
    for (int a = 1; a <= s.nat; ++a) {
        EXPECT_EQ(s.iat(a), ref.at("atomnos").at(std::size_t(a - 1)).get<int>()) << "atom " << a;
    }
}

TEST(Readpsi4Realdata, OptimisationStepsWithTheirEnergies) {
    if (!present("Psi4/dvb_gopt_rhf.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("Psi4/dvb_gopt_rhf.out");
    const nlohmann::json& geometries = ref.at("geometries_angstrom");
    const nlohmann::json& energies = ref.at("energies_eV");
    const RealRun r = readreal("PSI4", "Psi4/dvb_gopt_rhf.out");
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    // Every step's table is a geometry, the first one included; the table after each
    // "SCF GRAD" repeats its step and is skipped. Each takes the SCF energy computed at it.
    ASSERT_EQ(geometries.size(), 5u);
    ASSERT_EQ(r.s.ngeom, 5);
    for (int g = 1; g <= r.s.ngeom; ++g) {
        EXPECT_LT(geometrydeviation(r.s, geometries.at(std::size_t(g - 1)), g), 1e-6)
            << "geometry " << g;
        EXPECT_NEAR(r.s.egeo(g) * ev_per_hartree, energies.at(std::size_t(g - 1)).get<double>(),
                    1e-5)
            << "geometry " << g;
    }
    EXPECT_NEAR(r.s.energy * ev_per_hartree, energies.back().get<double>(), 1e-5);
    EXPECT_LT(finaldeviation(r.s, geometries.back()), 1e-6);
    EXPECT_EQ(r.s.nvib, 0);

    // IDGEO picks the start geometry as the final structure; the run's energy stays the last.
    const RealRun first = readreal("PSI4", "Psi4/dvb_gopt_rhf.out", "IDGEO 1\n");
    ASSERT_EQ(first.message, "") << first.out;
    EXPECT_LT(finaldeviation(first.s, geometries.front()), 1e-6);
    EXPECT_NEAR(first.s.energy * ev_per_hartree, energies.back().get<double>(), 1e-5);
}

TEST(Readpsi4Realdata, FiniteDifferenceRunsKeepTheReferenceGeometry) {
    for (const std::string file : {"Psi4/dvb_ir_rhf.out", "Psi4/dvb_ir_rks.out"}) {
        SCOPED_TRACE(file);
        if (!present(file)) {
            GTEST_SKIP() << "real outputs not found at " << path("");
        }
        const nlohmann::json ref = reference(file);
        const RealRun r = readreal("PSI4", file);
        ASSERT_EQ(r.message, "") << r.out;
        expectatoms(r.s, ref);
        // The displaced points (73 tables with their gradients) are neither geometries nor
        // energies: the reference geometry is the one geometry and keeps its own energy, also as
        // the run's energy.
        ASSERT_EQ(r.s.ngeom, 1);
        const nlohmann::json& geometry = ref.at("geometries_angstrom").at(0);
        EXPECT_LT(geometrydeviation(r.s, geometry, 1), 1e-6);
        EXPECT_LT(finaldeviation(r.s, geometry), 1e-6);
        EXPECT_EQ(r.s.egeo(1), r.s.energy);
        if (ref.contains("energies_eV")) {
            EXPECT_NEAR(r.s.energy * ev_per_hartree, ref.at("energies_eV").back().get<double>(),
                        1e-9 * ev_per_hartree);
        }
    }
}

} // namespace
