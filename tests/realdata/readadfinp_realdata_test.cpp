// Every real ADF input read through the whole input side of a run (control input, readfile,
// arrange): the atoms and coordinates must be the ones the file states, and where the reference
// holds the output of the same job, its atoms and first geometry.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct StatedAtom {
    std::string symbol;
    std::array<double, 3> xyz; // Angstrom
};

std::string lower(std::string t) {
    std::transform(t.begin(), t.end(), t.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return t;
}

// The atoms block as the file writes it: lines "symbol x y z" between "atoms" and "end".
std::vector<StatedAtom> statedatoms(const fs::path& file) {
    std::ifstream in(file);
    std::vector<StatedAtom> atoms;
    std::string line;
    bool inblock = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        if (!inblock) {
            inblock = lower(first) == "atoms";
        } else if (lower(first) == "end") {
            break;
        } else if (!first.empty()) {
            StatedAtom a{first, {}};
            fields >> a.xyz[0] >> a.xyz[1] >> a.xyz[2];
            EXPECT_FALSE(fields.fail()) << line;
            atoms.push_back(a);
        }
    }
    return atoms;
}

double distance(const std::array<double, 3>& p, const std::array<double, 3>& q) {
    return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

TEST(ReadadfinpRealData, AtomsAndCoordinatesAsStated) {
    const fs::path dir = fs::path(KRU_REALDATA) / "ADF";
    if (!fs::exists(dir)) {
        GTEST_SKIP() << "real outputs not found at " << dir;
    }
    nlohmann::json reference;
    std::ifstream(fs::path(KRU_REALDATA) / "reference.json") >> reference;

    std::vector<fs::path> inputs;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        if (e.path().extension() == ".adfin") {
            inputs.push_back(e.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    ASSERT_FALSE(inputs.empty());

    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        const std::vector<StatedAtom> stated = statedatoms(input);
        ASSERT_FALSE(stated.empty());

        Store s;
        std::istringstream control("IN  ADFINP " + fs::canonical(input).string() +
                                   "\nOUT XYZ    unused.xyz\n");
        testing::internal::CaptureStdout();
        std::string failure;
        try {
            processinput(s, control);
            readfile(s);
            arrange(s);
        } catch (const RunError& e) {
            failure = e.what();
        }
        const std::string printed = testing::internal::GetCapturedStdout();
        ASSERT_EQ(failure, "") << printed;

        ASSERT_EQ(s.nat, int(stated.size()));
        EXPECT_EQ(s.inpcoor, 1);
        std::vector<std::array<double, 3>> read; // Angstrom
        for (int a = 1; a <= s.nat; ++a) {
            const StatedAtom& st = stated[std::size_t(a - 1)];
            EXPECT_EQ(lower(std::string(trimright(defatnamlow(s.iat(a))))), lower(st.symbol))
                << "atom " << a;
            const std::array<double, 3> p = point(s.xyz, a);
            read.push_back(
                {p[0] * angstrom_per_bohr, p[1] * angstrom_per_bohr, p[2] * angstrom_per_bohr});
            for (std::size_t k = 0; k < 3; ++k) {
                // The file's six decimals, less the rounding of the two Bohr factors.
                EXPECT_NEAR(read.back()[k], st.xyz[k], 1e-6) << "atom " << a;
            }
        }

        // The output of the job that read this input, where the reference has it.
        const std::string key = "ADF/" + input.stem().string() + ".adfout";
        if (!reference.contains(key)) {
            continue;
        }
        const nlohmann::json& out = reference[key];
        ASSERT_EQ(out["natom"].get<int>(), s.nat);
        for (int a = 1; a <= s.nat; ++a) {
            EXPECT_EQ(out["atomnos"][std::size_t(a - 1)].get<int>(), s.iat(a)) << "atom " << a;
        }
        // ADF may turn the molecule into a frame of its own before the first geometry it prints
        // (dvb_gopt does), so that geometry is compared through its interatomic distances. The
        // reference keeps four decimals.
        const auto first = out["geometries_angstrom"][0].get<std::vector<std::array<double, 3>>>();
        ASSERT_EQ(first.size(), read.size());
        for (std::size_t a = 0; a < read.size(); ++a) {
            for (std::size_t b = a + 1; b < read.size(); ++b) {
                EXPECT_NEAR(distance(read[a], read[b]), distance(first[a], first[b]), 2e-4)
                    << "atoms " << a + 1 << " and " << b + 1;
            }
        }
    }
}

} // namespace
