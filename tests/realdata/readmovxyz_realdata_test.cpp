// The multi-frame XYZ reader on an xtb optimisation log: every frame in place, each with the
// energy of its comment line, and IDGEO's choice.
#include "realoutput.h"

namespace {

using namespace realoutput;

// The factor with which the reference turned Hartree into eV.
constexpr double ev_per_hartree = 27.21138505;

TEST(ReadmovxyzRealdata, XtbLogFramesEnergiesAndSelection) {
    if (!present("XYZ/xtb_dvb_opt.xyz")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("XYZ/xtb_dvb_opt.xyz");
    const nlohmann::json& geometries = ref.at("geometries_angstrom");
    const nlohmann::json& energies = ref.at("energies_eV");
    const RealRun r = readreal("MOVXYZ", "XYZ/xtb_dvb_opt.xyz", "IDGEO 3\n");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.out, "");
    ASSERT_EQ(r.s.ngeom, int(geometries.size()));
    for (int g = 1; g <= r.s.ngeom; ++g) {
        // The file prints 14 decimals of Angstrom and 12 of Hartree.
        EXPECT_LT(geometrydeviation(r.s, geometries.at(std::size_t(g - 1)), g), 1e-12);
        EXPECT_NEAR(r.s.egeo(g) * ev_per_hartree, energies.at(std::size_t(g - 1)).get<double>(),
                    1e-9)
            << "frame " << g;
    }
    EXPECT_LT(finaldeviation(r.s, geometries.at(2)), 1e-12);
    EXPECT_EQ(r.s.energy, r.s.egeo(r.s.ngeom));
}

} // namespace
