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
constexpr double ev = 27.21138505; // the reference's eV per Hartree

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

void read(Reading& r, const std::string& file, const std::string& options = "") {
    std::istringstream control("IN  CFOUR  " + file + "\n" + options);
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

// Each optimisation step's geometry carries the total energy of the job's method computed at it:
// CCSD ("The total energy is") and MBPT(2) ("Total MP2 energy"), not the SCF energy printed first.
TEST(ReadcfourRealData, OptimisationEnergies) {
    const std::string dir = folder();
    if (dir.empty()) {
        GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
    }
    for (const std::string name : {"water_gopt.c4", "water_mp2.c4"}) {
        SCOPED_TRACE(name);
        Reading r;
        read(r, dir + "/CFOUR/" + name);
        ASSERT_EQ(r.message, "") << r.out;
        const nlohmann::json ref = reference(dir, "CFOUR/" + name);
        // One table "Coordinates used in calculation" per optimisation step, as the reference has.
        comparegeometries(r.s, ref);
        EXPECT_EQ(r.s.nvib, 0);
        const auto& energies = ref.at("energies_eV");
        ASSERT_EQ(r.s.ngeom, int(energies.size()));
        for (int g = 1; g <= r.s.ngeom; ++g) {
            EXPECT_NEAR(r.s.egeo(g), energies.at(std::size_t(g - 1)).get<double>() / ev, 1e-9)
                << "geometry " << g;
        }
        EXPECT_NEAR(r.s.energy, r.s.egeo(r.s.ngeom), 1e-9);
    }
}

// IDGEO picks the structure; the run's energy stays the last one.
TEST(ReadcfourRealData, IdgeoKeepsTheRunsEnergy) {
    const std::string dir = folder();
    if (dir.empty()) {
        GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
    }
    Reading r;
    read(r, dir + "/CFOUR/water_gopt.c4", "IDGEO 2\n");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.ngeom, 5);
    for (int a = 1; a <= r.s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(r.s.xyz(k, a), r.s.xgeo(k, a, 2));
        }
    }
    EXPECT_NE(r.s.egeo(2), r.s.egeo(5));
    EXPECT_NEAR(r.s.energy, -76.240286551244850, 1e-12);
}

// A single atom has no geometry table; the basis-set listing gives it.
TEST(ReadcfourRealData, SingleAtom) {
    const std::string dir = folder();
    if (dir.empty()) {
        GTEST_SKIP() << "real outputs not found at " << KRU_REALDATA;
    }
    Reading r;
    read(r, dir + "/CFOUR/C_bigbasis.c4");
    ASSERT_EQ(r.message, "") << r.out;
    ASSERT_EQ(r.s.nat, 1);
    EXPECT_EQ(r.s.iat(1), 6);
    EXPECT_EQ(r.s.ngeom, 1);
    EXPECT_NEAR(r.s.energy, -37.604542648423688, 1e-12);
    EXPECT_EQ(r.s.egeo(1), r.s.energy);
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
    // An SCF run's energy is E(SCF), not the MP2 energy it also prints.
    EXPECT_NEAR(r.s.energy, -379.777955473628651, 1e-12);
    EXPECT_EQ(r.s.egeo(1), r.s.energy);

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
