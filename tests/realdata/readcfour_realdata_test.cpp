// Real CFOUR outputs read through the library, from the control input to the arrangement step,
// against what an independent parser found in them.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr double bohr = 0.5291772484779358;

std::string folder() {
    const std::filesystem::path dir = KRU_REALDATA;
    return std::filesystem::exists(dir) ? std::filesystem::canonical(dir).string() : "";
}

nlohmann::json reference(const std::string& dir, const std::string& key) {
    std::ifstream in(dir + "/reference.json");
    return nlohmann::json::parse(in).at(key);
}

struct Reading {
    Store s;
    std::string out, message;
};

void read(Reading& r, const std::string& file) {
    std::istringstream control("IN  CFOUR  " + file + "\n");
    testing::internal::CaptureStdout();
    try {
        processinput(r.s, control);
        readfile(r.s);
        arrange(r.s);
    } catch (const RunError& e) {
        r.message = e.what();
    }
    r.out = testing::internal::GetCapturedStdout();
}

// Every stored geometry against the reference geometry of the same number; the outputs print
// Bohr to 8 decimals, the reference Angstrom to 6.
void comparegeometries(const Store& s, const nlohmann::json& ref) {
    ASSERT_EQ(s.nat, ref.at("natom").get<int>());
    const auto& atomnos = ref.at("atomnos");
    for (int a = 1; a <= s.nat; ++a) {
        EXPECT_EQ(s.iat(a), atomnos.at(std::size_t(a - 1)).get<int>()) << "atom " << a;
    }
    const auto& geometries = ref.at("geometries_angstrom");
    ASSERT_EQ(s.ngeom, int(geometries.size()));
    for (int g = 1; g <= s.ngeom; ++g) {
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                const double want =
                    geometries.at(std::size_t(g - 1)).at(std::size_t(a - 1)).at(std::size_t(k - 1));
                EXPECT_NEAR(s.xgeo(k, a, g) * bohr, want, 1.5e-6)
                    << "geometry " << g << " atom " << a;
                if (g == s.ngeom) {
                    EXPECT_NEAR(s.xyz(k, a) * bohr, want, 1.5e-6) << "final atom " << a;
                }
            }
        }
    }
}

TEST(ReadcfourRealData, Optimisation) {
    const std::string dir = folder();
    if (dir.empty()) {
        GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
    }
    Reading r;
    read(r, dir + "/CFOUR/water_gopt.c4");
    ASSERT_EQ(r.message, "") << r.out;
    const nlohmann::json ref = reference(dir, "CFOUR/water_gopt.c4");
    // One table "Coordinates used in calculation" per optimisation step, as the reference has.
    comparegeometries(r.s, ref);
    EXPECT_EQ(r.s.nvib, 0);
    // A CCSD run prints no "CCSD(T) energy" line, the only energy this reader takes: every
    // geometry carries 0 where the reference lists the total energies.
    ASSERT_EQ(ref.at("scfenergies_eV").size(), 5u);
    EXPECT_EQ(r.s.energy, 0.0);
    for (int g = 1; g <= r.s.ngeom; ++g) {
        EXPECT_EQ(r.s.egeo(g), 0.0) << g;
    }
}

TEST(ReadcfourRealData, Frequencies) {
    const std::string dir = folder();
    if (dir.empty()) {
        GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
    }
    Reading r;
    read(r, dir + "/CFOUR/dvb_ir.c4");
    ASSERT_EQ(r.message, "") << r.out;
    // Every mode row of this output has its three reals per mode once column 14 is opened up.
    EXPECT_EQ(r.out.find("Error reading normal mode vectors"), std::string::npos) << r.out;
    const nlohmann::json ref = reference(dir, "CFOUR/dvb_ir.c4");
    comparegeometries(r.s, ref);
    // No "CCSD(T) energy" line in an SCF frequency run.
    EXPECT_EQ(r.s.energy, 0.0);

    // Rotations and translations are left out, as in the reference.
    const auto& freqs = ref.at("vibfreqs");
    const auto& irs = ref.at("vibirs");
    const auto& disps = ref.at("vibdisps");
    ASSERT_EQ(r.s.nvib, int(freqs.size()));
    for (int m = 1; m <= r.s.nvib; ++m) {
        const std::size_t i = std::size_t(m - 1);
        EXPECT_NEAR(r.s.vibs(m), freqs.at(i).get<double>(), 1e-9) << "mode " << m;
        EXPECT_NEAR(r.s.frqintns(m), irs.at(i).get<double>(), 1e-9) << "mode " << m;
        // The same shape up to sign and scale: |cos| of the angle between the two vectors is 1.
        double dot = 0.0, mine = 0.0, theirs = 0.0;
        for (int a = 1; a <= r.s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                const double x = r.s.vibvec(k, a, m);
                const double y = disps.at(i).at(std::size_t(a - 1)).at(std::size_t(k - 1));
                dot += x * y;
                mine += x * x;
                theirs += y * y;
            }
        }
        ASSERT_GT(mine, 0.0) << "mode " << m;
        EXPECT_NEAR(std::abs(dot) / std::sqrt(mine * theirs), 1.0, 1e-9) << "mode " << m;
    }
}

} // namespace
