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

TEST(Readpsi4Realdata, OptimisationSteps) {
    if (!present("Psi4/dvb_gopt_rhf.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("Psi4/dvb_gopt_rhf.out");
    const nlohmann::json& geometries = ref.at("geometries_angstrom");
    const nlohmann::json& energies = ref.at("scfenergies_eV");
    const RealRun r = readreal("PSI4", "Psi4/dvb_gopt_rhf.out");
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    // The first table defines the atoms and is not a geometry of the sequence; the table after
    // each "SCF GRAD" repeats its step and is skipped. So the reference's five steps are the
    // first table and four geometries.
    ASSERT_EQ(geometries.size(), 5u);
    ASSERT_EQ(r.s.ngeom, 4);
    for (int g = 1; g <= r.s.ngeom; ++g) {
        EXPECT_LT(geometrydeviation(r.s, geometries.at(std::size_t(g)), g), 1e-6)
            << "geometry " << g;
        // A geometry carries the last total energy printed before its table, which is that of
        // the step before it.
        EXPECT_NEAR(r.s.egeo(g) * ev_per_hartree, energies.at(std::size_t(g - 1)).get<double>(),
                    1e-5)
            << "geometry " << g;
    }
    EXPECT_NEAR(r.s.energy * ev_per_hartree, energies.back().get<double>(), 1e-5);
    EXPECT_LT(finaldeviation(r.s, geometries.back()), 1e-6);
    EXPECT_EQ(r.s.nvib, 0);
}

TEST(Readpsi4Realdata, FrequencyRunLayoutNotRecognised) {
    if (!present("Psi4/dvb_ir_rhf.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("Psi4/dvb_ir_rhf.out");
    const RealRun r = readreal("PSI4", "Psi4/dvb_ir_rhf.out");
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    // This output prints its frequencies in rows headed "Freq [cm^-1]", three modes a row,
    // without the "Index   Frequency (cm-1)   Intensity (km/mol)" table and the per-mode
    // displacement tables that the reader recognises: no modes are read.
    EXPECT_EQ(ref.at("vibfreqs").size(), 54u);
    EXPECT_EQ(r.s.nvib, 0);
    // The run computes its frequencies from gradients at displaced geometries, and prints a
    // coordinate table for each: they all become geometries, the first being the reference
    // geometry itself, and the last displaced one becomes the final structure.
    const nlohmann::json& geometry = ref.at("geometries_angstrom").at(0);
    ASSERT_EQ(r.s.ngeom, 74);
    EXPECT_LT(geometrydeviation(r.s, geometry, 1), 1e-6);
    const double displaced = finaldeviation(r.s, geometry);
    EXPECT_GT(displaced, 1e-4);
    EXPECT_LT(displaced, 1e-2);
}

} // namespace
