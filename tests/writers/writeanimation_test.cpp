#include "control/control.h"
#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Point = std::array<double, 3>;

struct Frame {
    int number = 0;           // MODEL number (PDB) or mode number (AMV header)
    std::vector<int> atoms;   // store atom numbers (PDB only)
    std::vector<Point> atxyz; // in file order
};

// Frames of a PDB animation: MODEL, ATOM records, TER, ENDMDL.
std::vector<Frame> parsepdb(const std::string& text) {
    std::vector<Frame> frames;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("MODEL ")) {
            frames.push_back({std::stoi(line.substr(6)), {}, {}});
        } else if (line.starts_with("ATOM  ")) {
            EXPECT_EQ(line.size(), 78u) << line;
            frames.back().atoms.push_back(std::stoi(line.substr(6, 5)));
            frames.back().atxyz.push_back({std::stod(line.substr(30, 8)),
                                           std::stod(line.substr(38, 8)),
                                           std::stod(line.substr(46, 8))});
        } else if (line == "TER") {
            EXPECT_TRUE(std::getline(in, line) && line == "ENDMDL");
        } else {
            ADD_FAILURE() << "unexpected PDB line: " << line;
        }
    }
    return frames;
}

// Frames of an AMV animation: header, atom lines, empty line.
std::vector<Frame> parseamv(const std::string& text, int nat) {
    std::vector<Frame> frames;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_TRUE(line.starts_with("mode ")) << line;
        Frame f;
        f.number = std::stoi(line.substr(5, 5));
        for (int a = 0; a < nat && std::getline(in, line); ++a) {
            std::istringstream fields(line.substr(2));
            Point p{};
            fields >> p[0] >> p[1] >> p[2];
            f.atxyz.push_back(p);
        }
        EXPECT_TRUE(std::getline(in, line) && line.empty());
        frames.push_back(f);
    }
    return frames;
}

double distance(const Frame& a, const Frame& b) {
    double sum = 0.0;
    for (std::size_t i = 0; i < a.atxyz.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            const double d = a.atxyz[i][std::size_t(k)] - b.atxyz[i][std::size_t(k)];
            sum += d * d;
        }
    }
    return std::sqrt(sum);
}

struct Kind {
    const char* name;
    void (*write)(Store&, OutputFile&);
    const char* output;
    const char* suffix;
    double tolerance; // Angstrom, from the decimals written
};
const Kind kinds[] = {
    {"FRQPDB", &writefrqpdb, "mol.pdb", ".pdb", 0.003},
    {"AMV", &writeamv, "mol.amv", ".amv", 0.00003},
};

// O1 H2 H3 written in the order H2 O1 H3, with nvib modes all zero.
void water(Store& s, int nvib) {
    s.nvib = nvib;
    testing_store::build(
        s,
        {{8, 0.0, 0.0, 0.1173, {}}, {1, 0.0, 0.7572, -0.4692, {}}, {1, 0.0, -0.7572, -0.4692, {}}},
        {2, 1, 3});
    for (int i = 1; i <= nvib; ++i) {
        s.vibs(i) = 1000.0 * i;
    }
}

class Writeanimation : public testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("kru_writeanimation_" + std::to_string(::getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the writer as the dispatcher does: on the open output file, closed afterwards.
    std::string run(Store& s, const Kind& kind) {
        s.outputfile = (dir / kind.output).string();
        OutputFile out;
        EXPECT_TRUE(out.open(std::string(trimright(s.outputfile))));
        testing::internal::CaptureStdout();
        kind.write(s, out);
        EXPECT_TRUE(out.close());
        return testing::internal::GetCapturedStdout();
    }

    std::string text(const std::string& name) const {
        std::ifstream in(dir / name);
        std::stringstream t;
        t << in.rdbuf();
        return t.str();
    }

    std::vector<Frame> frames(const Kind& kind, const std::string& name, int nat) const {
        return std::string(kind.suffix) == ".pdb" ? parsepdb(text(name))
                                                  : parseamv(text(name), nat);
    }

    std::set<std::string> files() const {
        std::set<std::string> found;
        for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
            found.insert(e.path().filename().string());
        }
        return found;
    }

    fs::path dir;
};

// Frame f (1..40) lies at amplitude a(f) along the mode: 0.04 Angstrom per unit, 0.4 at the
// turning points, frames 11 and 31 mirror each other through frame 1.
TEST_F(Writeanimation, FortyFramesSwingSymmetricallyAboutTheStructure) {
    const int amplitude[40] = {0,  1,  2,   3,  4,  5,  6,  7,  8,  9,  10, 9,  8,  7,
                               6,  5,  4,   3,  2,  1,  0,  -1, -2, -3, -4, -5, -6, -7,
                               -8, -9, -10, -9, -8, -7, -6, -5, -4, -3, -2, -1};
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Store s;
        water(s, 1);
        s.vibvec(2, 1, 1) = -0.07;
        s.vibvec(3, 1, 1) = 0.02;
        s.vibvec(1, 2, 1) = 0.3;
        s.vibvec(2, 2, 1) = 0.43;
        s.vibvec(3, 3, 1) = -0.56;
        EXPECT_EQ(run(s, kind), "");
        const std::string name = std::string("mol_frq1_1000.00") + kind.suffix;
        const std::vector<Frame> f = frames(kind, name, 3);
        ASSERT_EQ(f.size(), 40u);

        const std::vector<Point> rest{
            {0.0, 0.7572, -0.4692}, {0.0, 0.0, 0.1173}, {0.0, -0.7572, -0.4692}};
        for (std::size_t a = 0; a < 3; ++a) {
            for (std::size_t k = 0; k < 3; ++k) {
                EXPECT_NEAR(f[0].atxyz[a][k], rest[a][k], kind.tolerance / 6);
            }
        }
        const double swing = distance(f[10], f[0]);
        EXPECT_NEAR(swing, 0.4, kind.tolerance);
        for (std::size_t i = 0; i < 40; ++i) {
            EXPECT_EQ(f[i].number, kind.suffix == std::string(".pdb") ? int(i) + 1 : 1);
            if (kind.suffix == std::string(".pdb")) {
                EXPECT_EQ(f[i].atoms, (std::vector<int>{2, 1, 3})); // store numbers, output order
            }
            // The projection on the turning point's direction gives the amplitude, and nothing
            // moves off that line.
            double along = 0.0;
            for (std::size_t a = 0; a < 3; ++a) {
                for (std::size_t k = 0; k < 3; ++k) {
                    along += (f[i].atxyz[a][k] - f[0].atxyz[a][k]) *
                             (f[10].atxyz[a][k] - f[0].atxyz[a][k]) / swing;
                }
            }
            EXPECT_NEAR(along / 0.04, amplitude[i], 0.1) << "frame " << i + 1;
            const double off =
                std::sqrt(std::max(0.0, std::pow(distance(f[i], f[0]), 2) - along * along));
            EXPECT_LT(off, 2 * kind.tolerance) << "frame " << i + 1;
        }
        for (std::size_t a = 0; a < 3; ++a) {
            for (std::size_t k = 0; k < 3; ++k) {
                EXPECT_NEAR(f[10].atxyz[a][k] + f[30].atxyz[a][k], 2 * f[0].atxyz[a][k],
                            kind.tolerance);
            }
        }
    }
}

// The same displacement of O and H: divided by the root of the mass the hydrogen moves
// sqrt(15.9994 / 1.0079) times as far as the oxygen; multiplied, that many times less.
TEST_F(Writeanimation, MassWeightingDividesForPdbAndMultipliesForAmv) {
    const double ratio = std::sqrt(15.9994 / 1.0079);
    const double expected[] = {ratio, 1.0 / ratio};
    for (std::size_t n = 0; n < 2; ++n) {
        const Kind& kind = kinds[n];
        SCOPED_TRACE(kind.name);
        Store s;
        water(s, 1);
        s.vibvec(2, 1, 1) = 1.0;
        s.vibvec(2, 2, 1) = 1.0;
        run(s, kind);
        const std::vector<Frame> f = frames(kind, std::string("mol_frq1_1000.00") + kind.suffix, 3);
        ASSERT_EQ(f.size(), 40u);
        const double h = f[10].atxyz[0][1] - f[0].atxyz[0][1]; // output position 1 is H2
        const double o = f[10].atxyz[1][1] - f[0].atxyz[1][1];
        EXPECT_NEAR(h / o, expected[n], expected[n] * 0.03);
        EXPECT_NEAR(std::hypot(h, o), 0.4, kind.tolerance);
    }
}

TEST_F(Writeanimation, WithoutVibrationsTheOutputStaysEmpty) {
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Store s;
        water(s, 0);
        EXPECT_EQ(run(s, kind), "No vibrations found .. \n");
        EXPECT_EQ(files(), std::set<std::string>{kind.output});
        EXPECT_EQ(text(kind.output), "");
        fs::remove(dir / kind.output);
    }
}

// A massless dummy atom cannot be divided by its mass, and a mode of length zero cannot be
// normalised: both stay still instead of filling the file with NaN.
TEST_F(Writeanimation, MasslessAtomsAndEmptyModesStayStill) {
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Store s;
        water(s, 2);
        s.iat(3) = 94;
        s.vibvec(1, 1, 1) = 0.5;
        s.vibvec(1, 3, 1) = 0.5;
        run(s, kind);
        const std::string moving = std::string("mol_frq1_1000.00") + kind.suffix;
        const std::string still = std::string("mol_frq2_2000.00") + kind.suffix;
        for (const std::string& name : {moving, still}) {
            const std::string t = text(name);
            EXPECT_EQ(t.find("NaN"), std::string::npos) << name;
            EXPECT_EQ(t.find("Inf"), std::string::npos) << name;
            EXPECT_EQ(t.find('*'), std::string::npos) << name;
        }
        const std::vector<Frame> m = frames(kind, moving, 3);
        const std::vector<Frame> z = frames(kind, still, 3);
        ASSERT_EQ(m.size(), 40u);
        ASSERT_EQ(z.size(), 40u);
        EXPECT_NEAR(distance(m[10], m[0]), 0.4, kind.tolerance);
        for (std::size_t i = 0; i < 40; ++i) {
            EXPECT_EQ(m[i].atxyz[2], m[0].atxyz[2]) << "dummy atom, frame " << i + 1;
            EXPECT_EQ(z[i].atxyz, z[0].atxyz) << "empty mode, frame " << i + 1;
        }
    }
}

TEST_F(Writeanimation, ModeFileThatCannotBeOpenedEndsTheRun) {
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        Store s;
        water(s, 1);
        fs::create_directories(dir / (std::string("mol_frq1_1000.00") + kind.suffix));
        try {
            run(s, kind);
            ADD_FAILURE() << "the writer returned";
        } catch (const RunError& e) {
            testing::internal::GetCapturedStdout();
            EXPECT_STREQ(e.what(), "Error opening outputfile");
            EXPECT_EQ(e.routine, "writefile");
        }
    }
}

} // namespace
