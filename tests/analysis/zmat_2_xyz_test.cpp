#include "analysis/analysis.h"
#include "control/control.h"
#include "geometrycheck.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Line {
    int k1, k2, k3;
    double r, theta, phi;
};

struct Converted {
    std::vector<double> xyz;
    std::string out, message, routine;
    Vec3 at(int a) const {
        const std::size_t i = 3 * std::size_t(a - 1);
        return {xyz[i], xyz[i + 1], xyz[i + 2]};
    }
};

Converted convert(const std::vector<Line>& z) {
    std::vector<int> refs;
    std::vector<double> vals;
    for (const Line& l : z) {
        refs.insert(refs.end(), {l.k1, l.k2, l.k3});
        vals.insert(vals.end(), {l.r, l.theta, l.phi});
    }
    Converted c;
    c.xyz.assign(3 * z.size(), 99.0);
    testing::internal::CaptureStdout();
    try {
        zmat_2_xyz(int(z.size()), refs.data(), vals.data(), c.xyz.data());
    } catch (const RunError& e) {
        c.message = e.what();
        c.routine = e.routine;
    }
    c.out = testing::internal::GetCapturedStdout();
    return c;
}

TEST(ZmatToXyz, Water) {
    const double r = 1.8;
    const double theta = 1.8238690683340746;
    const Converted c = convert({{0, 0, 0, 0, 0, 0}, {1, 0, 0, r, 0, 0}, {1, 2, 0, r, theta, 0}});
    ASSERT_EQ(c.message, "") << c.out;
    EXPECT_EQ(c.at(1), (Vec3{0.0, 0.0, 0.0}));
    EXPECT_EQ(c.at(2), (Vec3{r, 0.0, 0.0}));
    EXPECT_NEAR(c.at(3)[0], r * std::cos(theta), 1e-14);
    EXPECT_NEAR(c.at(3)[1], r * std::sin(theta), 1e-14);
    EXPECT_NEAR(c.at(3)[2], 0.0, 1e-15);
}

// Every atom of a Z-matrix sits where its line says.
void expectsatisfied(const std::vector<Line>& z, const Converted& c) {
    for (int a = 1; a <= int(z.size()); ++a) {
        const Line& l = z[std::size_t(a - 1)];
        if (l.k1 != 0) {
            EXPECT_NEAR(check::distance(c.at(a), c.at(l.k1)), l.r, 1e-12) << "atom " << a;
        }
        if (l.k2 != 0) {
            EXPECT_NEAR(check::angle(c.at(a), c.at(l.k1), c.at(l.k2)), l.theta, 1e-12)
                << "atom " << a;
        }
        if (l.k3 != 0) {
            EXPECT_NEAR(check::circulardiff(
                            check::dihedral(c.at(a), c.at(l.k1), c.at(l.k2), c.at(l.k3)), l.phi),
                        0.0, 1e-11)
                << "atom " << a;
        }
    }
}

TEST(ZmatToXyz, AtomsInAnyOrder) {
    // Ethane-like chain listed back to front: every atom refers to atoms later in the list.
    const double t = 1.9106332362490186;
    const std::vector<Line> z = {
        {3, 4, 5, 2.06, t, 5.2}, // placed last: needs atom 3
        {4, 5, 6, 2.06, t, 1.0}, // 2
        {4, 5, 6, 2.06, t, 3.1}, // 3
        {5, 6, 0, 2.9, t, 0.0},  // the third atom
        {6, 0, 0, 2.9, 0, 0},    // the second atom
        {0, 0, 0, 0, 0, 0},      // the first atom
    };
    const Converted c = convert(z);
    ASSERT_EQ(c.message, "") << c.out;
    EXPECT_EQ(c.at(6), (Vec3{0.0, 0.0, 0.0}));
    EXPECT_EQ(c.at(5), (Vec3{2.9, 0.0, 0.0}));
    expectsatisfied(z, c);
}

TEST(ZmatToXyz, LinearChainDihedralReference) {
    const double pi = 3.141592653589793;
    const std::vector<Line> z = {
        {0, 0, 0, 0, 0, 0},
        {1, 0, 0, 2.2, 0, 0},
        {2, 1, 0, 2.2, pi, 0}, // straight on: 1, 2 and 3 lie on the x axis
        {3, 2, 1, 2.0, 2.0, 1.0},
    };
    const Converted c = convert(z);
    ASSERT_EQ(c.message, "") << c.out;
    EXPECT_EQ(c.out, "");
    for (double e : c.xyz) {
        EXPECT_TRUE(std::isfinite(e));
    }
    EXPECT_NEAR(check::distance(c.at(4), c.at(3)), 2.0, 1e-12);
    EXPECT_NEAR(check::angle(c.at(4), c.at(3), c.at(2)), 2.0, 1e-12);
}

TEST(ZmatToXyz, Failures) {
    struct Case {
        std::vector<Line> z;
        std::string message;
        std::string out = "";
    };
    const Line first{0, 0, 0, 0, 0, 0};
    const Line second{1, 0, 0, 2, 0, 0};
    const Line third{1, 2, 0, 2, 2, 0};
    const std::vector<Case> cases = {
        {{}, "Error: first atom not found"},
        {{second, second}, "Error: first atom not found"},
        {{first, first}, "Error: second atom not found"},
        {{first, second, {1, 2, 3, 2, 2, 2}}, "Error: third atom not found"},
        {{first, second, third, {1, 2, 5, 2, 2, 2}, {4, 2, 1, 2, 2, 2}},
         "Can not fill zmat",
         "Can not fill Z-matrix for     4th atom\n"},
        // Two atoms without references: the later is the first atom, the earlier is never placed.
        {{first, {4, 0, 0, 2, 0, 0}, {4, 2, 0, 2, 2, 0}, first},
         "Can not fill zmat",
         "Can not fill Z-matrix for     4th atom\n"},
        // The third atom must hang on the two atoms already placed.
        {{first, second, {4, 2, 0, 2, 2, 0}, {1, 2, 3, 2, 2, 2}},
         "Can not fill zmat",
         "Can not fill Z-matrix for     3th atom\n"},
        {{first, second, {1, 2, 4, 2, 2, 2}}, "Error: reference atom out of range"},
        {{first, {-1, 0, 0, 2, 0, 0}}, "Error: reference atom out of range"},
        {{{0, 0, 2, 0, 0, 0}}, "Error: reference atom out of range"},
    };
    for (const Case& k : cases) {
        const Converted c = convert(k.z);
        EXPECT_EQ(c.message, k.message) << k.z.size() << " atoms";
        EXPECT_EQ(c.routine, "zmat_2_xyz");
        EXPECT_EQ(c.out, k.out);
    }
}

TEST(ZmatToXyz, SingleAtomsAndPairs) {
    Converted c = convert({{0, 0, 0, 0, 0, 0}});
    ASSERT_EQ(c.message, "");
    EXPECT_EQ(c.at(1), (Vec3{0.0, 0.0, 0.0}));
    // The second atom's partner plays no part in its position.
    c = convert({{1, 0, 0, 1.5, 0, 0}, {0, 0, 0, 0, 0, 0}});
    ASSERT_EQ(c.message, "");
    EXPECT_EQ(c.at(1), (Vec3{1.5, 0.0, 0.0}));
}

} // namespace
