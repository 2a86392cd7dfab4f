// Reads real outputs of quantum-chemistry programs through the library and through the kru
// binary, and compares what comes out with what an independent parser extracted (reference.json
// in the real-data folder): atoms, the geometry sequence, energies, frequencies, intensities and
// normal modes.
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
    *os << p.folder;
}

namespace {

constexpr double ev_per_hartree = 27.211386245988;

const fs::path realdata = KRU_REALDATA;

using Geometry = std::vector<std::array<double, 3>>; // Angstrom, one point per atom

// Largest coordinate difference between a geometry of the store and one of the reference.
double deviation(const Geometry& a, const json& ref) {
    if (ref.size() != a.size()) {
        return INFINITY;
    }
    double worst = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (std::size_t k = 0; k < 3; ++k) {
            worst = std::max(worst, std::abs(a[i][k] - ref[i][k].get<double>()));
        }
    }
    return worst;
}

// Index of the reference geometry nearest to g, and how near it is.
std::pair<std::size_t, double> nearest(const Geometry& g, const json& refs) {
    std::pair<std::size_t, double> best{0, INFINITY};
    for (std::size_t r = 0; r < refs.size(); ++r) {
        const double d = deviation(g, refs[r]);
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

Geometry sequencegeometry(const Store& s, int geo) {
    Geometry g;
    for (int a = 1; a <= s.nat; ++a) {
        g.push_back({s.xgeo(1, a, geo) * angstrom_per_bohr, s.xgeo(2, a, geo) * angstrom_per_bohr,
                     s.xgeo(3, a, geo) * angstrom_per_bohr});
    }
    return g;
}

// Runs kru in `dir` on the control input there; returns the exit status.
int runkru(const fs::path& dir) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open((dir / "control").c_str(), O_RDONLY);
        const int out = open((dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (chdir(dir.c_str()) != 0 || in < 0 || out < 0 || err < 0) {
            _exit(127);
        }
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execl(KRU_BINARY, KRU_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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
        testing::internal::CaptureStdout();
        std::string failure;
        try {
            processinput(s, control);
            readfile(s);
            arrange(s);
        } catch (const RunError& e) {
            failure = e.routine + ": " + e.what();
        }
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(failure, "") << printed;
        return failure.empty();
    }

    const json& ref(const fs::path& file) {
        const std::string key = std::string(GetParam().folder) + "/" + file.filename().string();
        EXPECT_TRUE(reference_.contains(key)) << "no reference for " << key;
        return reference_.contains(key) ? reference_[key] : empty_;
    }

    const FileExpectation* expectation(const fs::path& file) const {
        for (const FileExpectation& f : GetParam().files) {
            if (f.file == file.filename().string()) {
                return &f;
            }
        }
        return nullptr;
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

// The final structure and every geometry of the sequence are geometries the reference lists,
// in the order it lists them.
TEST_P(RealData, GeometrySequence) {
    const double tol = GetParam().geometrytol;
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s) || !r.contains("geometries_angstrom")) {
            continue;
        }
        const json& refs = r["geometries_angstrom"];
        const auto [last, dlast] = nearest(finalgeometry(s), refs);
        EXPECT_LE(dlast, tol) << "final structure, nearest reference geometry " << last + 1;

        if (const FileExpectation* e = expectation(file)) {
            EXPECT_EQ(s.ngeom, e->ngeom);
        }
        long long previous = -1;
        for (int g = 1; g <= s.ngeom; ++g) {
            const auto [index, d] = nearest(sequencegeometry(s, g), refs);
            EXPECT_LE(d, tol) << "geometry " << g << ", nearest reference geometry " << index + 1;
            EXPECT_GT(static_cast<long long>(index), previous) << "geometry " << g;
            previous = static_cast<long long>(index);
        }
    }
}

TEST_P(RealData, Energies) {
    if (!GetParam().energy) {
        GTEST_SKIP() << "the reader takes no energy from these outputs";
    }
    for (const fs::path& file : files_) {
        SCOPED_TRACE(file.filename().string());
        Store s;
        const json& r = ref(file);
        if (!read(file, s)) {
            continue;
        }
        if (r.contains("scfenergies_eV")) {
            EXPECT_NEAR(s.energy * ev_per_hartree, r["scfenergies_eV"].back().get<double>(), 1e-3);
        }
        const FileExpectation* e = expectation(file);
        if (e != nullptr && !e->energiesknown) {
            for (int g = 1; g <= s.ngeom; ++g) {
                EXPECT_EQ(s.egeo(g), 0.0) << "geometry " << g;
            }
        }
    }
}

TEST_P(RealData, FrequenciesAndIntensities) {
    const Program& p = GetParam();
    if (!p.frequencies && !p.intensities) {
        GTEST_SKIP() << "the reader takes no frequencies from these outputs";
    }
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
            if (p.frequencies) {
                EXPECT_NEAR(s.vibs(m), freqs[std::size_t(m - 1)].get<double>(), p.frequencytol)
                    << "mode " << m;
            }
            if (p.intensities && r.contains("vibirs")) {
                EXPECT_NEAR(s.frqintns(m), r["vibirs"][std::size_t(m - 1)].get<double>(),
                            p.intensitytol)
                    << "mode " << m;
            }
        }
    }
}

// Displacements are compared as directions: programs differ in sign and normalisation.
TEST_P(RealData, ModeShapes) {
    const Program& p = GetParam();
    if (!p.modes) {
        GTEST_SKIP() << "the reader takes no normal modes from these outputs";
    }
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
            EXPECT_GE(std::abs(cosine), 1.0 - p.modetol) << "mode " << m;
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
        ASSERT_EQ(runkru(dir), 0) << slurp(dir / "stdout") << slurp(dir / "stderr");

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

std::string programname(const testing::TestParamInfo<Program>& info) {
    return std::string(info.param.folder);
}

INSTANTIATE_TEST_SUITE_P(Programs, RealData, testing::ValuesIn(programs()), programname);

} // namespace
