// Z-matrix to Cartesian conversion, checked with distances, angles and dihedrals computed here,
// independently of the program's own kernels.
#include "analysis/analysis.h"
#include "control/control.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

namespace {

Vec3 sub(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
double dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double len(const Vec3& a) {
    return std::sqrt(dot(a, a));
}
double angle(const Vec3& a, const Vec3& b, const Vec3& c) {
    return std::atan2(len(cross(sub(a, b), sub(c, b))), dot(sub(a, b), sub(c, b)));
}
// Difference from phi of the dihedral a-b-c-d, positive where (p x q) . (c - b) is.
double dihedralerror(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, double phi) {
    const Vec3 v = sub(c, b);
    const Vec3 p = cross(sub(b, a), v);
    const Vec3 q = cross(v, sub(d, c));
    const double x = std::atan2(dot(cross(p, q), v) / len(v), dot(p, q)) - phi;
    return std::abs(std::remainder(x, 2.0 * M_PI));
}

TEST(Zmat2c, PlacedAtomHasTheRequestedInternalCoordinates) {
    const Vec3 frames[][3] = {
        {{0.0, 0.0, 0.0}, {1.5, 0.0, 0.0}, {2.0, 1.3, 0.0}},
        {{0.3, -1.2, 2.0}, {-0.7, 0.4, 1.1}, {0.9, 1.7, -0.6}},
    };
    for (const auto& f : frames) {
        for (double theta : {0.3, 1.9106332362490186, 3.0}) {
            for (double phi : {0.0, 1.0, 3.141592653589793, 4.2, 6.0}) {
                std::ostringstream log;
                const Vec3 d = zmat2c(f[0], f[1], f[2], 2.05, theta, phi, log);
                EXPECT_EQ(log.str(), "");
                EXPECT_NEAR(len(sub(d, f[0])), 2.05, 1e-12);
                EXPECT_NEAR(angle(d, f[0], f[1]), theta, 1e-12);
                EXPECT_NEAR(dihedralerror(d, f[0], f[1], f[2], phi), 0.0, 1e-11) << phi;
            }
        }
    }
}

TEST(MakeOvector, UnitPerpendicular) {
    const double h = std::sqrt(0.5);
    const struct {
        Vec3 a, b, c, expected; // p - b; 9 where any perpendicular would do
    } cases[] = {
        // Collinear: in the xy plane, (0, 1, 0) along the z axis.
        {{-1.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {2.0, 0.0, 0.0}, {0.0, 1.0, 0.0}},
        {{1.0, 2.0, 0.0}, {1.0, 2.0, 3.0}, {1.0, 2.0, 5.0}, {0.0, 1.0, 0.0}},
        {{1.0, 2.0, 8.0}, {1.0, 2.0, 3.0}, {1.0, 2.0, -5.0}, {0.0, 1.0, 0.0}},
        {{-1.0, -1.0, -1.0}, {0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}, {-h, h, 0.0}},
        {{0.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, -3.0, 0.0}, {1.0, 0.0, 0.0}},
        // Coincident points give no NaN.
        {{1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}, {1.0, 1.0, 2.0}, {0.0, 1.0, 0.0}},
        // Otherwise perpendicular to both a - b and c - b.
        {{0.3, -1.2, 2.0}, {-0.7, 0.4, 1.1}, {0.9, 1.7, -0.6}, {9, 9, 9}},
        {{2.0, 1.0, 0.5}, {0.0, 0.0, 0.0}, {0.0, 0.0, -4.0}, {9, 9, 9}},
    };
    for (const auto& c : cases) {
        std::ostringstream log;
        const Vec3 d = sub(make_ovector(c.a, c.b, c.c, log), c.b);
        EXPECT_EQ(log.str(), "");
        EXPECT_NEAR(len(d), 1.0, 1e-12);
        EXPECT_NEAR(dot(d, sub(c.c, c.b)), 0.0, 1e-12);
        if (c.expected[0] == 9) {
            EXPECT_NEAR(dot(d, sub(c.a, c.b)), 0.0, 1e-12);
        } else {
            EXPECT_NEAR(len(sub(d, c.expected)), 0.0, 1e-12);
        }
    }
}

struct Line {
    int k1, k2, k3;
    double r, theta, phi;
};

struct Converted {
    std::vector<double> xyz;
    std::string out, message, routine;
    Vec3 at(int a) const {
        const auto i = std::size_t(3 * (a - 1));
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
    std::ostringstream log;
    try {
        zmat_2_xyz(int(z.size()), refs.data(), vals.data(), c.xyz.data(), log);
    } catch (const RunError& e) {
        c.message = e.what();
        c.routine = e.routine;
    }
    c.out = log.str();
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

TEST(ZmatToXyz, AnyOrderAndCollinearReferences) {
    const double t = 1.9106332362490186;
    const std::vector<std::vector<Line>> molecules = {
        // Listed back to front: every atom refers to atoms later in the list.
        {{3, 4, 5, 2.06, t, 5.2},
         {4, 5, 6, 2.06, t, 1.0},
         {4, 5, 6, 2.06, t, 3.1},
         {5, 6, 0, 2.9, t, 0.0},
         {6, 0, 0, 2.9, 0, 0},
         {0, 0, 0, 0, 0, 0}},
        // 1, 2 and 3 on one line: the dihedral of atom 4 has no plane to refer to.
        {{0, 0, 0, 0, 0, 0},
         {1, 0, 0, 2.2, 0, 0},
         {2, 1, 0, 2.2, M_PI, 0},
         {3, 2, 1, 2.0, 2.0, 1.0}},
    };
    for (const auto& z : molecules) {
        const Converted c = convert(z);
        ASSERT_EQ(c.message, "") << c.out;
        EXPECT_EQ(c.out, "");
        for (int a = 1; a <= int(z.size()); ++a) {
            const Line& l = z[std::size_t(a - 1)];
            if (l.k1 != 0) {
                EXPECT_NEAR(len(sub(c.at(a), c.at(l.k1))), l.r, 1e-12) << a;
            }
            if (l.k2 != 0) {
                EXPECT_NEAR(angle(c.at(a), c.at(l.k1), c.at(l.k2)), l.theta, 1e-12) << a;
            }
            // Atom 3 of the collinear chain makes the dihedral of atom 4 meaningless.
            if (l.k3 != 0 && z.size() == 6) {
                EXPECT_NEAR(dihedralerror(c.at(a), c.at(l.k1), c.at(l.k2), c.at(l.k3), l.phi), 0.0,
                            1e-11)
                    << a;
            }
        }
    }
}

TEST(ZmatToXyz, Failures) {
    const Line first{0, 0, 0, 0, 0, 0};
    const Line second{1, 0, 0, 2, 0, 0};
    const Line third{1, 2, 0, 2, 2, 0};
    const Line other{1, 2, 3, 2, 2, 2};
    const struct {
        std::vector<Line> z;
        std::string message, out;
    } cases[] = {
        {{}, "Error: first atom not found", ""},
        {{second, second}, "Error: first atom not found", ""},
        {{first, first}, "Error: second atom not found", ""},
        {{first, second, other}, "Error: third atom not found", ""},
        {{first, second, third, {1, 2, 5, 2, 2, 2}, {4, 2, 1, 2, 2, 2}},
         "Can not fill zmat",
         "Can not fill Z-matrix for     4th atom\n"},
        // Two atoms without references: the later is the first atom, the earlier never placed.
        {{first, {4, 0, 0, 2, 0, 0}, {4, 2, 0, 2, 2, 0}, first},
         "Can not fill zmat",
         "Can not fill Z-matrix for     4th atom\n"},
        // The third atom must hang on the two atoms already placed.
        {{first, second, {4, 2, 0, 2, 2, 0}, other},
         "Can not fill zmat",
         "Can not fill Z-matrix for     3th atom\n"},
        {{first, second, {1, 2, 4, 2, 2, 2}}, "Error: reference atom out of range", ""},
        {{first, {-1, 0, 0, 2, 0, 0}}, "Error: reference atom out of range", ""},
    };
    for (const auto& k : cases) {
        const Converted c = convert(k.z);
        EXPECT_EQ(c.message, k.message) << k.z.size() << " atoms";
        EXPECT_EQ(c.routine, "zmat_2_xyz");
        EXPECT_EQ(c.out, k.out);
    }
}

} // namespace
