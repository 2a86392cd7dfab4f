// The Q-Chem reader on real outputs, beyond what the suite checks for every program.
#include "realoutput.h"

namespace {

using namespace realoutput;

// IDGEO picks one optimisation step as the final structure; the run's energy stays the last one.
TEST(ReadqchemRealdata, IdgeoPicksAStep) {
    if (!present("QChem/dvb_gopt.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json geometries = reference("QChem/dvb_gopt.out").at("geometries_angstrom");
    const RealRun last = readreal("QCHEM", "QChem/dvb_gopt.out");
    const RealRun second = readreal("QCHEM", "QChem/dvb_gopt.out", "IDGEO 2\n");
    ASSERT_EQ(second.message, "") << second.out;
    EXPECT_LT(finaldeviation(second.s, geometries.at(1)), 1e-6);
    EXPECT_GT(finaldeviation(second.s, geometries.back()), 1e-3);
    EXPECT_EQ(second.s.energy, last.s.energy);
    EXPECT_NE(second.s.egeo(2), last.s.energy);
}

} // namespace
