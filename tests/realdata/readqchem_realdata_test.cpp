// The Q-Chem reader on real outputs, checked against an independent parser's reading of them.
#include "control/files.h"
#include "readers/readers.h"
#include "realoutput.h"
#include "testfiles.h"

namespace {

using namespace realoutput;

// The factor with which the reference turned Hartree into eV.
constexpr double ev_per_hartree = 27.21138505;

// One orientation table per optimisation step, each with the SCF energy printed after it; the
// optimiser's coordinate blocks, the converged one included, add no geometry.
TEST(ReadqchemRealdata, OptimisationStepsWithTheirEnergies) {
    if (!present("QChem/dvb_gopt.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("QChem/dvb_gopt.out");
    const nlohmann::json& geometries = ref.at("geometries_angstrom");
    const nlohmann::json& energies = ref.at("energies_eV");
    const RealRun r = readreal("QCHEM", "QChem/dvb_gopt.out");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.nrjobs, 1);
    ASSERT_EQ(r.s.ngeom, int(geometries.size()));
    for (int g = 1; g <= r.s.ngeom; ++g) {
        EXPECT_LT(geometrydeviation(r.s, geometries.at(std::size_t(g - 1)), g), 1e-6)
            << "geometry " << g;
        EXPECT_NEAR(r.s.egeo(g) * ev_per_hartree, energies.at(std::size_t(g - 1)).get<double>(),
                    1e-5)
            << "geometry " << g;
    }
    // "Final energy is" repeats the last step's energy to more digits.
    EXPECT_NEAR(r.s.energy, r.s.egeo(r.s.ngeom), 1e-10);

    const RealRun second = readreal("QCHEM", "QChem/dvb_gopt.out", "IDGEO 2\n");
    ASSERT_EQ(second.message, "") << second.out;
    EXPECT_LT(finaldeviation(second.s, geometries.at(1)), 1e-6);
    EXPECT_EQ(second.s.energy, r.s.energy);
}

// An MP2 single point: the energy is the MP2 total, not the SCF energy printed before it.
TEST(ReadqchemRealdata, Mp2TotalIsTheEnergy) {
    if (!present("QChem/water_mp2.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("QChem/water_mp2.out");
    const RealRun r = readreal("QCHEM", "QChem/water_mp2.out");
    ASSERT_EQ(r.message, "") << r.out;
    EXPECT_EQ(r.s.energy, -75.00228214);
    EXPECT_EQ(r.s.egeo(1), r.s.energy);
    EXPECT_NEAR(r.s.energy * ev_per_hartree, ref.at("energies_eV").at(0).get<double>(), 1e-5);
}

// Cut inside the displacement rows of modes 4 to 6: the first three modes are kept whole, and the
// run is noted as unfinished.
TEST(ReadqchemRealdata, FrequencyRunCutInsideTheModes) {
    if (!present("QChem/dvb_ir.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const std::string text = slurp(path("QChem/dvb_ir.out"));
    const std::size_t group = text.find(" Mode:                 4");
    ASSERT_NE(group, std::string::npos);
    const std::size_t cut = text.find("\n H ", group);
    ASSERT_NE(cut, std::string::npos);

    Store s;
    InputFile in(text.substr(0, cut + 1));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    readqchem(s, in);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout() + err,
              " The normal modes end early: 3 of the 6 vibrations are read in full and kept.\n"
              "kru: note: the run did not finish: final structure is geometry 1 of 1, the last "
              "complete one\n");
    const nlohmann::json ref = reference("QChem/dvb_ir.out");
    ASSERT_EQ(s.nvib, 3);
    for (int m = 1; m <= s.nvib; ++m) {
        EXPECT_EQ(s.vibs(m), ref.at("vibfreqs").at(std::size_t(m - 1)).get<double>());
        EXPECT_EQ(s.frqintns(m), ref.at("vibirs").at(std::size_t(m - 1)).get<double>());
    }
}

} // namespace
