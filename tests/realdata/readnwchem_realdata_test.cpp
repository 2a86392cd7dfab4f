// The NWChem reader on real outputs (optimisations with DFT and HF, a frequency run, an MP2 run
// with numbered tags), compared with what an independent parser extracts from the same files.
#include "realoutput.h"

#include <vector>

namespace {

using namespace realoutput;

constexpr double ev_per_hartree = 27.21138505; // the reference's own conversion

void expectatoms(const Store& s, const nlohmann::json& ref) {
    ASSERT_EQ(s.nat, ref.at("natom").get<int>());
    for (int a = 1; a <= s.nat; ++a) {
        EXPECT_EQ(s.iat(a), ref.at("atomnos").at(std::size_t(a - 1)).get<int>()) << "atom " << a;
    }
}

double hartree(const nlohmann::json& energies, std::size_t i) {
    return energies.at(i).get<double>() / ev_per_hartree;
}

// Each geometry takes the first SCF energy printed after its table: the input geometry and the
// table of step 0 share the first; energies of line-search points are passed over; the repeated
// converged geometry at the end takes the run's last energy.
TEST(ReadnwchemRealdata, OptimisationsPairEachGeometryWithItsEnergy) {
    struct Case {
        std::string file;
        std::vector<std::size_t> energyofgeometry; // index into the reference's energies
    };
    const Case cases[] = {
        {"NWChem/dvb_gopt_ks.out", {0, 0, 1, 2, 3, 3}},
        {"NWChem/dvb_gopt_hf.out", {0, 0, 1, 2, 3, 4, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (!present(c.file)) {
            GTEST_SKIP() << "real outputs not found at " << path("");
        }
        const nlohmann::json ref = reference(c.file);
        const RealRun r = readreal("NWCHEM", c.file);
        ASSERT_EQ(r.message, "") << r.out;
        expectatoms(r.s, ref);
        const nlohmann::json& geometries = ref.at("geometries_angstrom");
        const nlohmann::json& energies = ref.at("energies_eV");
        ASSERT_EQ(r.s.ngeom, int(geometries.size()));
        ASSERT_EQ(c.energyofgeometry.size(), geometries.size());
        for (int g = 1; g <= r.s.ngeom; ++g) {
            EXPECT_LT(geometrydeviation(r.s, geometries.at(std::size_t(g - 1)), g), 1.0000001e-6)
                << "geometry " << g;
            EXPECT_NEAR(r.s.egeo(g), hartree(energies, c.energyofgeometry[std::size_t(g - 1)]),
                        1e-9)
                << "geometry " << g;
        }
        EXPECT_NEAR(r.s.energy, hartree(energies, energies.size() - 1), 1e-9);
        EXPECT_LT(finaldeviation(r.s, geometries.back()), 1.0000001e-6);
        EXPECT_EQ(r.s.nvib, 0);
    }

    // IDGEO picks one step as the final structure; the run's energy stays its last.
    const RealRun second = readreal("NWCHEM", "NWChem/dvb_gopt_hf.out", "IDGEO 3\n");
    ASSERT_EQ(second.message, "") << second.out;
    const nlohmann::json ref = reference("NWChem/dvb_gopt_hf.out");
    EXPECT_LT(finaldeviation(second.s, ref.at("geometries_angstrom").at(2)), 1.0000001e-6);
    EXPECT_GT(finaldeviation(second.s, ref.at("geometries_angstrom").back()), 1e-3);
    EXPECT_NEAR(second.s.energy, hartree(ref.at("energies_eV"), 4), 1e-9);
}

// Tags H1 and H2 are hydrogens, and the energy is the MP2 total, not the SCF energy before it.
TEST(ReadnwchemRealdata, MP2RunWithNumberedTags) {
    const std::string file = "NWChem/water_mp2.out";
    if (!present(file)) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference(file);
    const RealRun r = readreal("NWCHEM", file);
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    ASSERT_EQ(r.s.ngeom, 1);
    EXPECT_NEAR(r.s.energy, hartree(ref.at("energies_eV"), 0), 1e-9);
    EXPECT_EQ(r.s.egeo(1), r.s.energy);
    EXPECT_GT(std::abs(r.s.energy - hartree(ref.at("scfenergies_eV"), 0)), 0.03);
}

// The 3N projected modes with the intensities of the projected table, not the unprojected one
// printed before it (their frequencies and intensities differ in the last digits).
TEST(ReadnwchemRealdata, FrequencyRunKeepsTheProjectedModes) {
    const std::string file = "NWChem/dvb_ir.out";
    if (!present(file)) {
        GTEST_SKIP() << "real outputs not found at " << path("");
    }
    const nlohmann::json ref = reference(file);
    const RealRun r = readreal("NWCHEM", file);
    ASSERT_EQ(r.message, "") << r.out;
    expectatoms(r.s, ref);
    ASSERT_EQ(r.s.nvib, 3 * r.s.nat);
    EXPECT_DOUBLE_EQ(r.s.vibs(24), 895.31);     // unprojected: 893.98
    EXPECT_DOUBLE_EQ(r.s.frqintns(15), 5.862);  // unprojected: 5.861
    EXPECT_DOUBLE_EQ(r.s.frqintns(51), 98.896); // unprojected: 98.894
    const nlohmann::json& irs = ref.at("vibirs");
    for (int m = 1; m <= r.s.nvib; ++m) {
        EXPECT_NEAR(r.s.frqintns(m), irs.at(std::size_t(m - 1)).get<double>(), 1e-9)
            << "mode " << m;
    }
}

} // namespace
