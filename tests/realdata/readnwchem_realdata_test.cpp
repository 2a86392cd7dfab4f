// The NWChem reader on real outputs (a geometry optimisation and a frequency run of
// divinylbenzene), compared with what an independent parser extracts from the same files.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr double bohr = 0.5291772484779358;
constexpr double ev_per_hartree = 27.21138505; // the reference's own conversion
const std::string realdata = KRU_REALDATA;

struct Real {
    Store s;
    nlohmann::json ref;
};

// Reads one real file through the control input, the dispatch and the arrangement step.
bool load(Real& r, const std::string& file) {
    const std::string path = realdata + "/NWChem/" + file;
    if (!std::filesystem::exists(path) || !std::filesystem::exists(realdata + "/reference.json")) {
        return false;
    }
    std::ifstream json(realdata + "/reference.json");
    r.ref = nlohmann::json::parse(json).at("NWChem/" + file);
    std::istringstream control("IN  NWCHEM " + path + "\n");
    testing::internal::CaptureStdout();
    processinput(r.s, control);
    readfile(r.s);
    arrange(r.s);
    testing::internal::GetCapturedStdout();
    return true;
}

void expectatoms(const Real& r) {
    ASSERT_EQ(r.s.nat, r.ref.at("natom").get<int>());
    for (int a = 1; a <= r.s.nat; ++a) {
        EXPECT_EQ(r.s.iat(a), r.ref.at("atomnos")[std::size_t(a - 1)].get<int>()) << a;
    }
}

// Geometry g of the store (Bohr) against a reference geometry in Angstrom, printed there with
// six decimals.
void expectgeometry(const Real& r, int g, const nlohmann::json& geometry) {
    for (int a = 1; a <= r.s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            EXPECT_NEAR(r.s.xgeo(k, a, g) * bohr,
                        geometry[std::size_t(a - 1)][std::size_t(k - 1)].get<double>(), 1e-6)
                << "geometry " << g << " atom " << a;
        }
    }
}

TEST(ReadnwchemRealdata, Optimisation) {
    Real r;
    if (!load(r, "dvb_gopt_ks.out")) {
        GTEST_SKIP() << "real NWChem outputs not present";
    }
    expectatoms(r);
    const nlohmann::json& geometries = r.ref.at("geometries_angstrom");
    ASSERT_EQ(r.s.ngeom, int(geometries.size()));
    for (int g = 1; g <= r.s.ngeom; ++g) {
        expectgeometry(r, g, geometries[std::size_t(g - 1)]);
    }
    for (int a = 1; a <= r.s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(r.s.xyz(k, a), r.s.xgeo(k, a, r.s.ngeom));
        }
    }
    // Each geometry carries the last DFT energy printed before its table ends. The first two
    // tables come before any energy, so they carry 0; the first SCF energy is overwritten by the
    // second before the third table ends, and the last two tables share the final energy. The
    // reference takes some SCF energies from a later print of the same cycle, equal to 4e-7
    // Hartree.
    const nlohmann::json& energies = r.ref.at("scfenergies_eV");
    ASSERT_EQ(energies.size(), 4u);
    EXPECT_EQ(r.s.egeo(1), 0.0);
    EXPECT_EQ(r.s.egeo(2), 0.0);
    const int reference[] = {0, 0, 1, 2, 3, 3}; // reference energy of each geometry from the third
    for (int g = 3; g <= 6; ++g) {
        EXPECT_NEAR(r.s.egeo(g),
                    energies[std::size_t(reference[g - 1])].get<double>() / ev_per_hartree, 1e-6)
            << g;
    }
    EXPECT_EQ(r.s.energy, r.s.egeo(6));
    EXPECT_EQ(r.s.nvib, 0);
}

TEST(ReadnwchemRealdata, Frequencies) {
    Real r;
    if (!load(r, "dvb_ir.out")) {
        GTEST_SKIP() << "real NWChem outputs not present";
    }
    expectatoms(r);
    ASSERT_EQ(r.s.ngeom, 1);
    expectgeometry(r, 1, r.ref.at("geometries_angstrom").back());
    EXPECT_NEAR(r.s.energy, r.ref.at("scfenergies_eV").back().get<double>() / ev_per_hartree, 1e-6);

    // The projected frequencies are printed with two decimals, the reference has three. The
    // intensities are not read.
    const nlohmann::json& freqs = r.ref.at("vibfreqs");
    ASSERT_EQ(r.s.nvib, int(freqs.size()));
    for (int m = 1; m <= r.s.nvib; ++m) {
        EXPECT_NEAR(r.s.vibs(m), freqs[std::size_t(m - 1)].get<double>(), 0.0051) << m;
    }

    // Mode shapes up to sign and scale: the two vectors of every mode are parallel.
    // Skipping the first component row of a block instead of the blank line before it would
    // shift every displacement by one component.
    const nlohmann::json& disps = r.ref.at("vibdisps");
    for (int m = 1; m <= r.s.nvib; ++m) {
        double ours = 0.0, theirs = 0.0, dot = 0.0;
        for (int a = 1; a <= r.s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                const double u = r.s.vibvec(k, a, m);
                const double v =
                    disps[std::size_t(m - 1)][std::size_t(a - 1)][std::size_t(k - 1)].get<double>();
                ours += u * u;
                theirs += v * v;
                dot += u * v;
            }
        }
        ASSERT_GT(ours, 0.0) << m;
        EXPECT_NEAR(std::abs(dot) / std::sqrt(ours * theirs), 1.0, 1e-9) << m;
    }
}

} // namespace
