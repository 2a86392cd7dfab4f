// Expected texts in these tests were written by gfortran with the same edit descriptors.
#include "control/files.h"
#include "testfiles.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view atomsection = "[Molden Format]\n"
                                         "[Atoms] AU\n"
                                         " O      2     8    0.000000   -0.000000    0.221500\n"
                                         " H      1     1    1.430500    0.000000   -1.106700\n"
                                         " H      3     1   -1.430500    0.000000   -1.106700\n";

constexpr std::string_view vibsection = "[FREQ]\n"
                                        "  -123.457\n"
                                        "  1650.125\n"
                                        "[FR-COORD]\n"
                                        " O     0.000000   -0.000000    0.221500\n"
                                        " H     1.430500    0.000000   -1.106700\n"
                                        " H    -1.430500    0.000000   -1.106700\n"
                                        "[FR-NORM-COORD]\n"
                                        "vibration    1\n"
                                        "    0.000000    0.000000   -0.062500\n"
                                        "    0.600000    0.000000    0.800000\n"
                                        "    0.000000    0.000000    0.000000\n"
                                        "vibration    2\n"
                                        "    0.000000    0.000000    0.125000\n"
                                        "    0.000000    0.500000    0.000000\n"
                                        "    0.000000    0.000000    0.000000\n"
                                        "[INT]\n"
                                        "     0.000\n"
                                        "    55.556\n";

constexpr std::string_view geosection = "[GEOCONV]\n"
                                        "energy\n"
                                        "    -76.10000000\n"
                                        "    -76.20000000\n"
                                        "    -76.25000000\n"
                                        "[GEOMETRIES] XYZ\n"
                                        "   3\n"
                                        "water.out     -76.123457\n"
                                        "O       0.005292    0.005292    0.122505\n"
                                        "H       0.762280    0.005292   -0.580349\n"
                                        "H      -0.751696    0.005292   -0.580349\n"
                                        "   3\n"
                                        "water.out     -76.123457\n"
                                        "O       0.010584    0.010583    0.127796\n"
                                        "H       0.767572    0.010584   -0.575057\n"
                                        "H      -0.746405    0.010584   -0.575057\n"
                                        "   3\n"
                                        "water.out     -76.123457\n"
                                        "O       0.015875    0.015875    0.133088\n"
                                        "H       0.772863    0.015876   -0.569765\n"
                                        "H      -0.741113    0.015875   -0.569765\n";

// The oxygen moves more in the second mode; the first hydrogen's weights are 1 and 0.25; the
// second hydrogen does not move, so its modes come in mode order with weight 0.
constexpr std::string_view weightsfile =
    "\n"
    "Contributions in vibrations for atom O     1\n"
    "ContrVib O     1     Vibr(cm-1)     1650.12   Weight         1.56\n"
    "ContrVib O     1     Vibr(cm-1)     -123.46   Weight         0.39\n"
    "\n"
    "Contributions in vibrations for atom H     2\n"
    "ContrVib H     2     Vibr(cm-1)     -123.46   Weight       100.00\n"
    "ContrVib H     2     Vibr(cm-1)     1650.12   Weight        25.00\n"
    "\n"
    "Contributions in vibrations for atom H     3\n"
    "ContrVib H     3     Vibr(cm-1)     -123.46   Weight         0.00\n"
    "ContrVib H     3     Vibr(cm-1)     1650.12   Weight         0.00\n";

class Molden : public testing::Test {
  protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }

    // Water H1 O2 H3 written as O, H1, H3. With ngeom 1 the one geometry is the molecule, as the
    // arrangement step leaves it; with more, geometry g is shifted by 0.01 g Bohr.
    void water(Store& s, int ngeom, int nvib) {
        s.ngeom = ngeom;
        s.nvib = nvib;
        testing_store::build(s, {{1, 0, 0, 0, {2}}, {8, 0, 0, 0, {1, 3}}, {1, 0, 0, 0, {2}}},
                             {2, 1, 3});
        const double xyz[3][3] = {
            {1.4305, 0.0000005, -1.1067}, {0.0, -0.0000004, 0.2215}, {-1.4305, 0.0, -1.1067}};
        for (int a = 1; a <= 3; ++a) {
            for (int k = 1; k <= 3; ++k) {
                s.xyz(k, a) = xyz[a - 1][k - 1];
                for (int g = 1; g <= std::max(ngeom, 1); ++g) {
                    s.xgeo(k, a, g) = s.xyz(k, a) + (ngeom > 1 ? 0.01 * g : 0.0);
                }
            }
        }
        const double egeo[3] = {-76.1, -76.2, -76.25};
        for (int g = 1; g <= ngeom && g <= 3; ++g) {
            s.egeo(g) = egeo[g - 1];
        }
        s.energy = -76.123456789;
        s.inputfile = "water.out";
        s.outputfile = (dir_ / "water.molden").string();
        if (nvib == 2) {
            s.vibs(1) = -123.4565;
            s.vibs(2) = 1650.125;
            s.frqintns(1) = 0.0;
            s.frqintns(2) = 55.5555;
            s.vibvec(1, 1, 1) = 0.6;
            s.vibvec(3, 1, 1) = 0.8;
            s.vibvec(3, 2, 1) = -0.0625;
            s.vibvec(2, 1, 2) = 0.5;
            s.vibvec(3, 2, 2) = 0.125;
        }
    }

    fs::path weights() const { return dir_ / "water.molden-vib.weights"; }

    fs::path dir_ = fs::temp_directory_path() / ("kru_molden_" + std::to_string(::getpid()));
};

// Which sections appear depends on the counts alone; both writers agree while IDOFTL is 1.
TEST_F(Molden, SectionsFollowTheCounts) {
    const std::string atoms(atomsection), vib(vibsection), geo(geosection);
    struct Case {
        int ngeom, nvib;
        std::string want;
    };
    const Case cases[] = {
        {1, 0, atoms},
        {3, 0, atoms + geo},
        {1, 2, atoms + vib},
        {3, 2, atoms + vib + geo},
    };
    for (const Case& c : cases) {
        for (auto writer : {&writemolden, &writemolf}) {
            Store s;
            water(s, c.ngeom, c.nvib);
            OutputFile out;
            writer(s, out);
            EXPECT_EQ(out.str(), c.want) << "ngeom " << c.ngeom << ", nvib " << c.nvib;
            if (c.nvib > 0) {
                EXPECT_EQ(slurp(weights()), weightsfile);
                fs::remove(weights());
            } else {
                EXPECT_FALSE(fs::exists(weights())) << "ngeom " << c.ngeom;
            }
        }
    }
}

// The modes listed for the one atom of a store whose mode m displaces it by d[m-1] along x,
// with frequency 100 m.
std::vector<int> ranking(Store& s, const fs::path& outputfile, const std::vector<double>& d) {
    s.nvib = int(d.size());
    testing_store::build(s, {{6, 0, 0, 0, {}}}, {1});
    s.outputfile = outputfile.string();
    for (int m = 1; m <= s.nvib; ++m) {
        s.vibs(m) = 100.0 * m;
        s.vibvec(1, 1, m) = d[std::size_t(m - 1)];
    }
    OutputFile out;
    writemolden(s, out);
    std::vector<int> modes;
    std::istringstream in(slurp(outputfile.string() + "-vib.weights"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("ContrVib ")) {
            EXPECT_EQ(line.size(), 65u) << line;
            modes.push_back(int(std::lround(std::stod(line.substr(31, 12)) / 100.0)));
        }
    }
    return modes;
}

TEST_F(Molden, WeightsRankAtMostTenModesLargestFirst) {
    struct Case {
        std::vector<double> d;
        std::vector<int> want;
    };
    const Case cases[] = {
        // Twelve modes list ten; four list four.
        {{.1, .2, .3, .4, .5, .6, .7, .8, .9, 1.0, 1.1, 1.2}, {12, 11, 10, 9, 8, 7, 6, 5, 4, 3}},
        {{.4, .3, .2, .1}, {1, 2, 3, 4}},
        // Equal weights keep mode order, a negative displacement weighs as its square, and zero
        // weights come last in mode order.
        {{0.0, 0.5, 0.0, -0.5, 0.7}, {5, 2, 4, 1, 3}},
        {{0.0, 0.0, 0.0}, {1, 2, 3}},
        // A displacement too small to register as a positive square ranks with the zeros.
        {{1e-200, 0.0, 1e-3}, {3, 1, 2}},
    };
    for (const Case& c : cases) {
        Store s;
        EXPECT_EQ(ranking(s, dir_ / "c.molden", c.d), c.want);
    }
}

// The energies of [GEOCONV] in the order written.
std::vector<double> energies(const std::string& text) {
    std::vector<double> got;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line) && line != "[GEOCONV]") {
    }
    std::getline(in, line);
    while (std::getline(in, line) && !line.starts_with("[")) {
        got.push_back(std::stod(line));
    }
    return got;
}

TEST_F(Molden, GeometryOrderUnderIdoftl) {
    struct Case {
        void (*writer)(Store&, OutputFile&);
        long long idoftl;
        std::vector<double> want;
        std::string_view firstframe;
    };
    const Case cases[] = {
        {&writemolden, 1, {-76.1, -76.2, -76.25}, "O       0.005292"},
        {&writemolden, 0, {-76.25, -76.2, -76.1}, "O       0.015875"},
        {&writemolf, 0, {-76.1, -76.2, -76.25}, "O       0.005292"},
        {&writemolf, 1, {-76.1, -76.2, -76.25}, "O       0.005292"},
    };
    for (const Case& c : cases) {
        Store s;
        water(s, 3, 0);
        s.idoftl = c.idoftl;
        OutputFile out;
        c.writer(s, out);
        EXPECT_EQ(energies(out.str()), c.want) << "IDOFTL " << c.idoftl;
        const std::size_t frame = out.str().find("water.out     -76.123457\n");
        ASSERT_NE(frame, std::string::npos);
        EXPECT_EQ(out.str().substr(frame + 25, c.firstframe.size()), c.firstframe)
            << "IDOFTL " << c.idoftl;
    }
}

TEST_F(Molden, NumbersTooWideForTheirFieldPrintAsAsterisks) {
    struct Case {
        double x;
        std::string_view field;
    };
    const Case cases[] = {
        {1000.0, "**********"},      {999.999999, "999.999999"},
        {999.9999995, "999.999999"}, // just below the rounding point in binary
        {-99.999999, "-99.999999"},  {-99.9999995, "**********"},
        {-100.0, "**********"},
    };
    for (const Case& c : cases) {
        Store s;
        water(s, 1, 0);
        s.xyz(1, 2) = c.x;
        OutputFile out;
        writemolden(s, out);
        EXPECT_EQ(out.str().substr(std::string_view("[Molden Format]\n[Atoms] AU\n").size(), 52),
                  " O      2     8  " + std::string(c.field) + "   -0.000000    0.221500\n")
            << c.x;
    }
    Store s;
    water(s, 2, 0);
    s.egeo(2) = -1234567.123456789;
    OutputFile out;
    writemolden(s, out);
    EXPECT_NE(out.str().find("\n    -76.10000000\n ***************\n[GEOMETRIES] XYZ\n"),
              std::string::npos);
}

TEST_F(Molden, WeightsFileThatCannotBeOpenedEndsTheRun) {
    for (auto [writer, routine] :
         {std::pair{&writemolden, "writemolden"}, std::pair{&writemolf, "writemolf"}}) {
        Store s;
        water(s, 1, 2);
        s.outputfile = (dir_ / "missing" / "water.molden").string();
        OutputFile out;
        try {
            writer(s, out);
            ADD_FAILURE() << routine << " returned";
        } catch (const RunError& e) {
            EXPECT_STREQ(e.what(), "Error opening vibration weights file");
            EXPECT_EQ(e.routine, routine);
        }
    }
}

} // namespace
