// Reads every real output of the quantum-chemistry programs through the library and through the
// kru binary, and compares what comes out with what an independent parser extracted
// (reference.json in the real-data folder): atoms, the final structure, energies, frequencies,
// intensities and normal modes.
#include "analysis/analysis.h"
#include "control/control.h"
#include "realdata.h"
#include "store/atominfo.h"
#include "store/store.h"
#include "testfiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using nlohmann::json;

// Test names and failure messages show the program, not the bytes of its entry.
void PrintTo(const Program& p, std::ostream* os) {
    *os << p.folder << " " << p.suffix;
}

namespace {

// The reference's energies are in eV, converted with this factor.
constexpr double ev_per_hartree = 27.21138505;
constexpr double geometrytol = 5e-4;    // Angstrom, after the best superposition
constexpr double frequencytol = 0.05;   // cm-1
constexpr double modetol = 1e-3;        // 1 - |cos| between a mode and the reference's
constexpr double energytol = 1e-4;      // Hartree
constexpr double intensitytol = 0.02;   // km/mol, plus
constexpr double intensityshare = 2e-3; // of the reference value

const fs::path realdata = KRU_REALDATA;

using Geometry = std::vector<std::array<double, 3>>; // Angstrom, one point per atom
using Matrix4 = std::array<std::array<double, 4>, 4>;

// Largest eigenvalue of a symmetric 4 x 4 matrix, by the program's own Jacobi routine.
double largesteigenvalue(const Matrix4& m) {
    std::array<double, 16> a{};
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t j = 0; j < 4; ++j) {
            a[4 * j + i] = m[i][j];
        }
    }
    std::array<double, 16> vectors{};
    std::array<double, 4> values{};
    diajac(a.data(), vectors.data(), values.data(), 4);
    return values[3]; // ascending
}

// Root-mean-square distance between two geometries after the best rotation and translation
// (the quaternion method), so that a program's reorientation does not count.
double superposeddistance(const Geometry& a, const json& ref) {
    if (ref.size() != a.size() || a.empty()) {
        return INFINITY;
    }
    Geometry b;
    for (const json& p : ref) {
        b.push_back({p[0].get<double>(), p[1].get<double>(), p[2].get<double>()});
    }
    const auto centre = [](Geometry& g) {
        std::array<double, 3> c{};
        for (const auto& p : g) {
            for (std::size_t k = 0; k < 3; ++k) {
                c[k] += p[k] / double(g.size());
            }
        }
        for (auto& p : g) {
            for (std::size_t k = 0; k < 3; ++k) {
                p[k] -= c[k];
            }
        }
    };
    Geometry x = a;
    centre(x);
    centre(b);
    double r[3][3] = {};
    double norms = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            norms += x[i][j] * x[i][j] + b[i][j] * b[i][j];
            for (std::size_t k = 0; k < 3; ++k) {
                r[j][k] += x[i][j] * b[i][k];
            }
        }
    }
    const Matrix4 f{
        {{r[0][0] + r[1][1] + r[2][2], r[1][2] - r[2][1], r[2][0] - r[0][2], r[0][1] - r[1][0]},
         {r[1][2] - r[2][1], r[0][0] - r[1][1] - r[2][2], r[0][1] + r[1][0], r[0][2] + r[2][0]},
         {r[2][0] - r[0][2], r[0][1] + r[1][0], -r[0][0] + r[1][1] - r[2][2], r[1][2] + r[2][1]},
         {r[0][1] - r[1][0], r[0][2] + r[2][0], r[1][2] + r[2][1], -r[0][0] - r[1][1] + r[2][2]}}};
    const double squares = std::max(0.0, norms - 2.0 * largesteigenvalue(f));
    return std::sqrt(squares / double(x.size()));
}

// The reference geometry nearest to g in any orientation, and how near it is.
std::pair<std::size_t, double> nearest(const Geometry& g, const json& refs) {
    std::pair<std::size_t, double> best{0, INFINITY};
    for (std::size_t r = 0; r < refs.size(); ++r) {
        const double d = superposeddistance(g, refs[r]);
        if (d < best.second) {
            best = {r, d};
        }
    }
    return best;
}

Geometry finalgeometry(const Store& s) {
    Geometry g;
    for (int a = 1; a <= s.nat; ++a) {
        g.push_back({s.xyz(1, a) * angstrom_per_bohr, s.xyz(2, a) * angstrom_per_bohr,
                     s.xyz(3, a) * angstrom_per_bohr});
    }
    return g;
}

// Runs kru in `dir` on the control input there, or with the arguments given.
int runkru(const fs::path& dir, const std::vector<std::string>& args = {}) {
    return runbinary(KRU_BINARY, dir, args, args.empty() ? dir / "control" : fs::path());
}

// One program's real outputs, each read into a store through the library as kru reads it.
class RealData : public testing::TestWithParam<Program> {
  protected:
    void SetUp() override {
        if (!fs::is_directory(realdata)) {
            GTEST_SKIP() << "The real-data folder " << realdata.string() << " is missing.";
        }
        std::ifstream in(realdata / "reference.json");
        reference_ = json::parse(in);
        const Program& p = GetParam();
        for (const auto& e : fs::directory_iterator(realdata / p.folder)) {
            if (e.path().filename().string().ends_with(p.suffix)) {
                files_.push_back(e.path());
            }
        }
        std::sort(files_.begin(), files_.end());
        ASSERT_FALSE(files_.empty()) << "no " << p.suffix << " files in " << p.folder;
        // Short paths, so that file names fit the control input's 100 characters.
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        scratch_ =
            fs::temp_directory_path() / ("kru_realdata_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(scratch_);
        fs::create_directories(scratch_);
    }
    void TearDown() override {
        if (!scratch_.empty()) {
            fs::remove_all(scratch_);
        }
    }

    std::ostringstream printed_; // what the last read printed

    // A folder of its own for one file, holding a link to it under a short name.
    fs::path folderfor(const fs::path& file) {
        const fs::path dir = scratch_ / file.stem();
        if (!fs::exists(dir / file.filename())) {
            fs::create_directories(dir);
            std::error_code ec;
            fs::create_symlink(file, dir / file.filename(), ec);
            if (ec) {
                fs::copy_file(file, dir / file.filename());
            }
        }
        return dir;
    }

    // Reads a file as kru does: control input, reader, arrangement step.
    bool read(const fs::path& file, Store& s) {
        const fs::path dir = folderfor(file);
        std::istringstream control("IN  " + fixedtext(GetParam().inputtype, 6) + " " +
                                   (dir / file.filename()).string() + "\nOUT XYZ    " +
                                   (dir / "out.xyz").string() + "\n");
        printed_.str("");
        s.context.log = &printed_;
        std::string failure;
        try {
            processinput(s, control);
            readfile(s);
            arrange(s);
        } catch (const RunError& e) {
            failure = e.routine + ": " + e.what();
        }
        EXPECT_EQ(failure, "") << printed_.str();
        return failure.empty();
    }

    // The reference entry of a file; an archive written by the same run shares its output's.
    const json& ref(const fs::path& file) {
        const std::string folder = std::string(GetParam().folder) + "/";
        const std::string key = folder + file.filename().string();
        if (reference_.contains(key)) {
            return reference_[key];
        }
        for (const auto& [other, entry] : reference_.items()) {
            if (other.starts_with(folder + file.stem().string() + ".")) {
                return entry;
            }
        }
        ADD_FAILURE() << "no reference for " << key;
        return empty_;
    }

    json reference_;
    json empty_ = json::object();
    std::vector<fs::path> files_;
    fs::path scratch_;
};

TEST_P(RealData, AtomsAndElements) {
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s) || !r.contains("natom")) {
            continue;
        }
        ASSERT_EQ(s.nat, r["natom"].get<int>());
        for (int a = 1; a <= s.nat; ++a) {
            EXPECT_EQ(s.iat(a), r["atomnos"][std::size_t(a - 1)].get<int>()) << "atom " << a;
        }
    }
}

// The final structure is one of the geometries the reference lists, in any orientation.
TEST_P(RealData, FinalStructure) {
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s) || !r.contains("geometries_angstrom")) {
            continue;
        }
        const auto [index, d] = nearest(finalgeometry(s), r["geometries_angstrom"]);
        EXPECT_LE(d, geometrytol) << "nearest reference geometry " << index + 1;
    }
}

// The run's energy is the reference's last; no geometry is without an energy, and where the
// sequence has as many geometries as the reference has energies, each has its own.
TEST_P(RealData, Energies) {
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s) || !r.contains("energies_eV")) {
            continue;
        }
        const json& energies = r["energies_eV"];
        EXPECT_NEAR(s.energy, energies.back().get<double>() / ev_per_hartree, energytol);
        for (int g = 1; g <= s.ngeom; ++g) {
            EXPECT_NE(s.egeo(g), 0.0) << "geometry " << g;
        }
        if (std::size_t(s.ngeom) == energies.size()) {
            for (int g = 1; g <= s.ngeom; ++g) {
                EXPECT_NEAR(s.egeo(g), energies[std::size_t(g - 1)].get<double>() / ev_per_hartree,
                            energytol)
                    << "geometry " << g;
            }
        }
    }
}

TEST_P(RealData, FrequenciesAndIntensities) {
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s)) {
            continue;
        }
        if (!r.contains("vibfreqs")) {
            EXPECT_EQ(s.nvib, 0);
            continue;
        }
        const json& freqs = r["vibfreqs"];
        ASSERT_EQ(s.nvib, int(freqs.size()));
        for (int m = 1; m <= s.nvib; ++m) {
            EXPECT_NEAR(s.vibs(m), freqs[std::size_t(m - 1)].get<double>(), frequencytol)
                << "mode " << m;
            if (r.contains("vibirs")) {
                const double want = r["vibirs"][std::size_t(m - 1)].get<double>();
                EXPECT_NEAR(s.frqintns(m), want, intensitytol + intensityshare * std::abs(want))
                    << "mode " << m;
            }
        }
    }
}

// Displacements are compared as directions: programs differ in sign and normalisation.
TEST_P(RealData, ModeShapes) {
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s) || !r.contains("vibdisps")) {
            continue;
        }
        const json& disps = r["vibdisps"];
        ASSERT_EQ(s.nvib, int(disps.size()));
        for (int m = 1; m <= s.nvib; ++m) {
            double uv = 0.0, uu = 0.0, vv = 0.0;
            for (int a = 1; a <= s.nat; ++a) {
                for (int k = 1; k <= 3; ++k) {
                    const double u = s.vibvec(k, a, m);
                    const double v =
                        disps[std::size_t(m - 1)][std::size_t(a - 1)][std::size_t(k - 1)]
                            .get<double>();
                    uv += u * v;
                    uu += u * u;
                    vv += v * v;
                }
            }
            const double cosine = uv / std::sqrt(uu * vv);
            EXPECT_GE(std::abs(cosine), 1.0 - modetol) << "mode " << m;
        }
    }
}

// The kru binary converts every file to XYZ: the reference's atoms at the structure the
// library run chose, to the 6 decimals the XYZ file holds.
TEST_P(RealData, KruWritesXyz) {
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s) || !r.contains("atomnos")) {
            continue;
        }
        const fs::path dir = folderfor(file);
        std::ofstream(dir / "control") << "IN  " << fixedtext(GetParam().inputtype, 6) << " "
                                       << file.filename().string() << "\nOUT XYZ    kru.xyz\n";
        ASSERT_EQ(runkru(dir), 0) << slurp(dir / ".stdout") << slurp(dir / ".stderr");
        // One command with no type named makes the same file.
        EXPECT_EQ(runkru(dir, {file.filename().string(), "line.xyz"}), 0) << slurp(dir / ".stderr");
        EXPECT_EQ(slurp(dir / "line.xyz"), slurp(dir / "kru.xyz"));

        std::istringstream xyz(slurp(dir / "kru.xyz"));
        int nat = 0;
        xyz >> nat;
        ASSERT_EQ(nat, s.nat);
        std::string title;
        std::getline(xyz, title);
        std::getline(xyz, title);
        for (int a = 1; a <= nat; ++a) {
            std::string symbol;
            std::array<double, 3> c{};
            xyz >> symbol >> c[0] >> c[1] >> c[2];
            ASSERT_TRUE(xyz) << "atom line " << a;
            EXPECT_EQ(fixedtext(symbol, 2),
                      defatnamlow(r["atomnos"][std::size_t(a - 1)].get<int>()))
                << "atom " << a;
            for (int k = 1; k <= 3; ++k) {
                EXPECT_NEAR(c[std::size_t(k - 1)], s.xyz(k, a) * angstrom_per_bohr, 5.1e-7)
                    << "atom " << a;
            }
        }
    }
}

// "MOPAC_arc": a folder may hold the outputs of two input types.
std::string programname(const testing::TestParamInfo<Program>& info) {
    return std::string(info.param.folder) + "_" + std::string(info.param.suffix.substr(1));
}

INSTANTIATE_TEST_SUITE_P(Programs, RealData, testing::ValuesIn(programs()), programname);

} // namespace
