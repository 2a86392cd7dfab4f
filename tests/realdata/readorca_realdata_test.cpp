// The ORCA reader on real outputs, checked against an independent parser's reading of them.
#include "realoutput.h"

namespace {

using namespace realoutput;

void expectatoms(const Store& s, const nlohmann::json& ref) {
    ASSERT_EQ(s.nat, ref.at("natom").get<int>());
    for (int a = 1; a <= s.nat; ++a) {
        EXPECT_EQ(s.iat(a), ref.at("atomnos").at(std::size_t(a - 1)).get<int>()) << "atom " << a;
    }
}

TEST(ReadorcaRealdata, OptimisationKeepsEveryBlock) {
    if (!present("ORCA/dvb_gopt.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("ORCA/dvb_gopt.out");
    const nlohmann::json& geometries = ref.at("geometries_angstrom");
    const RealRun r = readreal("ORCA", "ORCA/dvb_gopt.out");
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    EXPECT_EQ(r.s.nrjobs, 1);
    // One coordinate block per optimisation step, as the reference counts them; the file
    // prints 6 decimals.
    ASSERT_EQ(r.s.ngeom, int(geometries.size()));
    for (int g = 1; g <= r.s.ngeom; ++g) {
        EXPECT_LT(geometrydeviation(r.s, geometries.at(std::size_t(g - 1)), g), 1.0000001e-6)
            << "geometry " << g;
        // The reader takes no energies: every geometry carries the initial energy.
        EXPECT_EQ(r.s.egeo(g), 0.0);
    }
    EXPECT_LT(finaldeviation(r.s, geometries.back()), 1.0000001e-6);
    EXPECT_EQ(r.s.nvib, 0);

    // IDGEO picks one step as the final structure.
    const RealRun second = readreal("ORCA", "ORCA/dvb_gopt.out", "IDGEO 2\n");
    ASSERT_EQ(second.message, "") << second.out;
    EXPECT_LT(finaldeviation(second.s, geometries.at(1)), 1.0000001e-6);
    EXPECT_GT(finaldeviation(second.s, geometries.back()), 1e-3);
}

TEST(ReadorcaRealdata, FrequencyRunGivesTheGeometryOnly) {
    if (!present("ORCA/dvb_ir.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("ORCA/dvb_ir.out");
    const RealRun r = readreal("ORCA", "ORCA/dvb_ir.out");
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    ASSERT_EQ(r.s.ngeom, 1);
    EXPECT_LT(finaldeviation(r.s, ref.at("geometries_angstrom").at(0)), 1.0000001e-6);
    // The reference has the 54 frequencies of this run; this reader reads no vibrations.
    EXPECT_EQ(ref.at("vibfreqs").size(), 54u);
    EXPECT_EQ(r.s.nvib, 0);
}

} // namespace
