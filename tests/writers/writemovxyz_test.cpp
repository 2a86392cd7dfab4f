#include "control/files.h"
#include "teststore.h"
#include "writers/writers.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

TEST(Writemovxyz, FramesInOutputOrderFromTheGeometrySequence) {
    Store s;
    s.ngeom = 2;
    testing_store::build(s, {{1, 0.0, 0.0, 0.0, {2}}, {17, 0.0, 0.0, 1.27, {1}}}, {2, 1});
    for (int a = 1; a <= 2; ++a) {
        for (int c = 1; c <= 3; ++c) {
            s.xgeo(c, a, 1) = s.xyz(c, a);
            s.xgeo(c, a, 2) = s.xyz(c, a);
        }
    }
    s.xgeo(1, 2, 2) = 1.0e8 / angstrom_per_bohr;
    s.xgeo(3, 2, 2) = 1.2345675 / angstrom_per_bohr;
    OutputFile out;
    writemovxyz(s, out);
    EXPECT_EQ(out.str(), "                    2\n"
                         " XYZ file written by KRU\n"
                         "Cl        0.00000000        0.00000000        1.27000000\n"
                         "H         0.00000000        0.00000000        0.00000000\n"
                         "                    2\n"
                         " XYZ file written by KRU\n"
                         "Cl  ****************        0.00000000        1.23456750\n"
                         "H         0.00000000        0.00000000        0.00000000\n");
}

// The geometries written, in order, read back from the x coordinate of each frame's atom.
std::vector<int> frames(const std::string& text) {
    std::vector<int> got;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("H ")) {
            got.push_back(int(std::stod(line.substr(2, 18))));
        }
    }
    return got;
}

struct RangeCase {
    long long first, last, idoftl;
    std::vector<int> want;
};

TEST(Writemovxyz, RangeAndDirection) {
    const RangeCase cases[] = {
        {0, 0, 1, {1, 2, 3, 4, 5}},
        {0, 0, 0, {5, 4, 3, 2, 1}},
        {2, 3, 1, {2, 3}},
        {2, 3, 0, {4, 3}},
        {4, 0, 1, {4, 5}},
        {0, 2, 0, {5, 4}},
        {7, 9, 1, {5}},
        {3, 2, 1, {}},
        {0, -1, 1, {}},
        {-2, 2, 1, {1, 2}},
        {-2, 2, 0, {5, 4}},
    };
    for (const RangeCase& c : cases) {
        Store s;
        s.ngeom = 5;
        testing_store::build(s, {{1, 0.0, 0.0, 0.0, {}}}, {1});
        for (int g = 1; g <= 5; ++g) {
            s.xgeo(1, 1, g) = g / angstrom_per_bohr;
        }
        s.idrange = {c.first, c.last};
        s.idoftl = c.idoftl;
        OutputFile out;
        writemovxyz(s, out);
        EXPECT_EQ(frames(out.str()), c.want)
            << "RANGE " << c.first << " " << c.last << ", IDOFTL " << c.idoftl;
    }
}

TEST(Writemovxyz, NoGeometrySequenceGivesAnEmptyFile) {
    Store s;
    testing_store::build(s, {{1, 0.0, 0.0, 0.0, {}}}, {1});
    s.idrange = {2, 4};
    OutputFile out;
    writemovxyz(s, out);
    EXPECT_EQ(out.str(), "");
}

} // namespace
