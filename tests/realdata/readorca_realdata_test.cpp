// The ORCA reader on real outputs, checked against an independent parser's reading of them.
#include "control/files.h"
#include "readers/readers.h"
#include "realoutput.h"
#include "testfiles.h"

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

TEST(ReadorcaRealdata, OptimisationStepsWithTheirEnergies) {
    if (!present("ORCA/dvb_gopt.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference("ORCA/dvb_gopt.out");
    const nlohmann::json& geometries = ref.at("geometries_angstrom");
    const nlohmann::json& energies = ref.at("energies_eV");
    const RealRun r = readreal("ORCA", "ORCA/dvb_gopt.out");
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    EXPECT_EQ(r.s.nrjobs, 1);
    // One coordinate block per optimisation step, each followed by its final single-point
    // energy; the file prints 6 decimals and 12 for the energies.
    ASSERT_EQ(r.s.ngeom, int(geometries.size()));
    ASSERT_EQ(energies.size(), geometries.size());
    for (int g = 1; g <= r.s.ngeom; ++g) {
        EXPECT_LT(geometrydeviation(r.s, geometries.at(std::size_t(g - 1)), g), 1.0000001e-6)
            << "geometry " << g;
        EXPECT_NEAR(r.s.egeo(g) * ev_per_hartree, energies.at(std::size_t(g - 1)).get<double>(),
                    1e-5)
            << "geometry " << g;
    }
    EXPECT_EQ(r.s.energy, r.s.egeo(r.s.ngeom));
    EXPECT_LT(finaldeviation(r.s, geometries.back()), 1.0000001e-6);
    EXPECT_EQ(r.s.nvib, 0);

    // IDGEO picks one step as the final structure; the run's energy stays the last one.
    const RealRun second = readreal("ORCA", "ORCA/dvb_gopt.out", "IDGEO 2\n");
    ASSERT_EQ(second.message, "") << second.out;
    EXPECT_LT(finaldeviation(second.s, geometries.at(1)), 1.0000001e-6);
    EXPECT_GT(finaldeviation(second.s, geometries.back()), 1e-3);
    EXPECT_EQ(second.s.energy, r.s.energy);
}

// A frequency run reads without a word; cut inside its normal modes, it converts what it read,
// keeps the modes whose every row it read and says so, and notes on standard error that the run
// did not finish.
TEST(ReadorcaRealdata, FrequencyRunWholeAndCutInsideTheNormalModes) {
    if (!present("ORCA/dvb_ir.out")) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const std::string text = slurp(path("ORCA/dvb_ir.out"));
    // Into the third block of six (modes 12 to 17), after the row of the 11th coordinate.
    const std::size_t header = text.find("\n                 12         13");
    ASSERT_NE(header, std::string::npos);
    const std::size_t cut = text.find("\n     11 ", header);
    ASSERT_NE(cut, std::string::npos);

    const auto read = [](Store& s, std::string part) {
        InputFile in(std::move(part));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        readorca(s, in);
        const std::string err = testing::internal::GetCapturedStderr();
        return testing::internal::GetCapturedStdout() + err;
    };
    Store whole;
    EXPECT_EQ(read(whole, text), "");
    EXPECT_EQ(whole.nvib, 54);

    Store s;
    EXPECT_EQ(read(s, text.substr(0, cut + 1)),
              " The normal modes end early: 6 of the 54 vibrations are read in full and kept.\n"
              "kru: note: the run did not finish: final structure is geometry 1 of 1, the last "
              "complete one\n");
    const nlohmann::json ref = reference("ORCA/dvb_ir.out");
    ASSERT_EQ(s.nvib, 6);
    for (int m = 1; m <= s.nvib; ++m) {
        EXPECT_EQ(s.vibs(m), ref.at("vibfreqs").at(std::size_t(m - 1)).get<double>());
        EXPECT_EQ(s.frqintns(m), 0.0) << "the IR table comes after the modes";
    }
    EXPECT_NEAR(s.energy * ev_per_hartree, ref.at("energies_eV").at(0).get<double>(), 1e-5);
}

} // namespace
