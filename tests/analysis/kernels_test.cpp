#include "analysis/analysis.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double pi = 3.141592653589793;

// A kernel seen as a function of all its atoms' coordinates, atom by atom, x, y, z.
using Value = std::function<double(const std::vector<Vec3>&, double*, double*)>;

Value bondvalue = [](const std::vector<Vec3>& p, double* g, double* h) {
    return bond(p[0], p[1], g, h);
};
Value anglevalue = [](const std::vector<Vec3>& p, double* g, double* h) {
    return angle(p[0], p[1], p[2], g, h);
};
Value dihedralvalue = [](const std::vector<Vec3>& p, double* g, double* h) {
    return dihedral(p[0], p[1], p[2], p[3], g, h);
};

std::vector<Vec3> shifted(std::vector<Vec3> p, std::size_t coordinate, double step) {
    p[coordinate / 3][coordinate % 3] += step;
    return p;
}

// Compares the gradient with central differences of the value, and the Hessian with central
// differences of the gradient; checks the Hessian is symmetric.
void checkderivatives(const Value& f, const std::vector<Vec3>& p, double hesstol) {
    const std::size_t n = 3 * p.size();
    std::vector<double> grad(n);
    std::vector<double> hess(n * n);
    f(p, grad.data(), hess.data());
    const double step = 1e-5;
    for (std::size_t i = 0; i < n; ++i) {
        const double plus = f(shifted(p, i, step), nullptr, nullptr);
        const double minus = f(shifted(p, i, -step), nullptr, nullptr);
        EXPECT_NEAR(grad[i], (plus - minus) / (2 * step), 1e-8) << "gradient " << i;
        std::vector<double> gplus(n);
        std::vector<double> gminus(n);
        f(shifted(p, i, step), gplus.data(), nullptr);
        f(shifted(p, i, -step), gminus.data(), nullptr);
        for (std::size_t k = 0; k < n; ++k) {
            EXPECT_NEAR(hess[i + n * k], (gplus[k] - gminus[k]) / (2 * step), hesstol)
                << "hessian " << i << ", " << k;
            EXPECT_NEAR(hess[i + n * k], hess[k + n * i], hesstol) << i << ", " << k;
        }
    }
}

TEST(Kernels, DerivativesAgreeWithFiniteDifferences) {
    const std::vector<std::vector<Vec3>> bonds = {
        {{0.1, 0.2, 0.3}, {1.4, -0.7, 0.9}},
        {{-2.0, 0.5, 1.0}, {0.3, 0.3, 0.3}},
    };
    const std::vector<std::vector<Vec3>> angles = {
        {{1.8, 0.1, -0.2}, {0.0, 0.0, 0.0}, {-0.6, 1.7, 0.4}},
        {{0.3, 2.0, 1.1}, {0.5, -0.4, 0.2}, {2.5, 0.1, -1.3}},
        {{2.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {-1.9, 0.3, 0.1}}, // nearly straight
    };
    const std::vector<std::vector<Vec3>> dihedrals = {
        {{1.9, 0.3, -0.4}, {0.0, 0.0, 0.0}, {0.2, 0.1, 2.8}, {-1.0, 1.5, 3.4}},
        {{0.7, -1.6, 0.2}, {0.1, 0.2, 0.3}, {1.5, 0.9, 1.7}, {2.0, 2.5, 0.4}},
        {{-1.2, 0.8, 0.5}, {0.0, 0.0, 0.0}, {0.0, 0.3, 2.6}, {1.4, 1.0, 2.9}},
    };
    for (const auto& p : bonds) {
        checkderivatives(bondvalue, p, 1e-7);
    }
    // The angle Hessian is itself a difference quotient with a step of 1e-7.
    for (const auto& p : angles) {
        checkderivatives(anglevalue, p, 1e-6);
    }
    for (const auto& p : dihedrals) {
        checkderivatives(dihedralvalue, p, 1e-7);
    }
}

TEST(Kernels, DihedralHessianIsExactlySymmetricAndDoesNotCoupleTheEndAtoms) {
    std::array<double, 144> h{};
    dihedral({0.7, -1.6, 0.2}, {0.1, 0.2, 0.3}, {1.5, 0.9, 1.7}, {2.0, 2.5, 0.4}, nullptr,
             h.data());
    for (std::size_t i = 0; i < 12; ++i) {
        for (std::size_t k = 0; k < 12; ++k) {
            EXPECT_EQ(h[i + 12 * k], h[k + 12 * i]);
            if ((i < 3 && k >= 9) || (i >= 9 && k < 3)) {
                EXPECT_EQ(h[i + 12 * k], 0.0);
            }
        }
    }
}

TEST(Kernels, DihedralSignConvention) {
    // b at the origin, c on +z, a on +x; d turned by the torsion about the b-c axis.
    const Vec3 a{1.0, 0.0, 0.0};
    const Vec3 b{0.0, 0.0, 0.0};
    const Vec3 c{0.0, 0.0, 1.5};
    struct Case {
        Vec3 d;
        double phi;
    };
    const Case cases[] = {
        {{1.0, 0.0, 1.5}, 0.0},                            // cis
        {{-1.0, 0.0, 1.5}, pi},                            // trans
        {{0.5, std::sqrt(0.75), 1.5}, pi / 3},             // +60 degrees
        {{0.5, -std::sqrt(0.75), 1.5}, 5.235987755982989}, // -60 degrees comes back as 300
        {{0.0, -1.0, 1.5}, 1.5 * pi},                      // -90 degrees
    };
    for (const Case& t : cases) {
        EXPECT_NEAR(dihedral(a, b, c, t.d), t.phi, 4e-15) << t.d[0] << " " << t.d[1];
    }
}

// The cosine as the kernels form it, before any clamping.
double rawcosine(const Vec3& x, const Vec3& y) {
    return vsdot2(3, x.data(), y.data()) /
           (std::sqrt(vsdot2(3, x.data(), x.data())) * std::sqrt(vsdot2(3, y.data(), y.data())));
}

Vec3 cross(const Vec3& x, const Vec3& y) {
    return {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
}

TEST(Kernels, RoundedCosinesBeyondOneStayInRange) {
    // Straight angle whose cosine rounds to -1.0000000000000002.
    const Vec3 a{0.1, 0.1 * 2, 0.1 * 3};
    const Vec3 b{0.0, 0.0, 0.0};
    const Vec3 c{-0.1 * 2, -0.1 * 2 * 2, -0.1 * 3 * 2};
    ASSERT_LT(rawcosine(a, c), -1.0);
    EXPECT_EQ(angle(a, b, c), pi);
    // Planar cis torsion whose cosine rounds to 1.0000000000000002.
    EXPECT_EQ(dihedral({0.1, 0.2, 0.0}, b, {0.0, 0.0, 0.1}, {0.2, 0.4, 0.1}), 0.0);
    ASSERT_GT(rawcosine(cross({-0.1, -0.2, 0.0}, {0.0, 0.0, 0.1}),
                        cross({0.0, 0.0, 0.1}, {0.2, 0.4, 0.0})),
              1.0);
}

TEST(Kernels, PlanarCisWithNegativeRoundingNoiseIsTwoPi) {
    const Vec3 a{0.1, 0.1 * 3, 0.1};
    const Vec3 b{0.0, 0.0, 0.0};
    const Vec3 c{0.0, 0.0, 0.1 * 3};
    const Vec3 d{0.1 * 3, 0.1 * 3 * 3, 0.1 * 3 + 0.1};
    const Vec3 u{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const Vec3 v{c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    const Vec3 w{d[0] - c[0], d[1] - c[1], d[2] - c[2]};
    const Vec3 pq = cross(cross(u, v), cross(v, w));
    ASSERT_LT(vsdot2(3, pq.data(), v.data()), 0.0);
    EXPECT_EQ(dihedral(a, b, c, d), 6.283185307179586);
}

TEST(Kernels, SimpleValues) {
    EXPECT_EQ(bond({1.0, 2.0, 3.0}, {1.0, 2.0, 3.0}), 0.0);
    EXPECT_EQ(bond({0.0, 0.0, 0.0}, {3.0, 4.0, 0.0}), 5.0);
    EXPECT_EQ(angle({2.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 3.0, 0.0}), pi / 2);
    // The vertex is the second argument.
    EXPECT_NEAR(angle({0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}), pi / 4, 1e-15);
}

} // namespace
