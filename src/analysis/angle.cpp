// Bond angle a-b-c at the vertex b, with its first derivatives and, on request, second
// derivatives by central differences of the first.
#include "analysis/analysis.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

Vec3 cross(const Vec3& x, const Vec3& y) {
    return {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
}

double dot(const Vec3& x, const Vec3& y) {
    return vsdot2(3, x.data(), y.data());
}

// The 9 first derivatives of the angle, atoms a, b, c, each x, y, z.
void angle1(const Vec3& a, const Vec3& b, const Vec3& c, double* grad) {
    const Vec3 u{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    const Vec3 v{c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    const Vec3 n = cross(u, v);
    const double nn = std::sqrt(dot(n, n));
    const double su = dot(u, u) * nn;
    const double sv = dot(v, v) * nn;
    const Vec3 un = cross(u, n);
    const Vec3 nv = cross(n, v);
    for (std::size_t i = 0; i < 3; ++i) {
        grad[i] = un[i] / su;
        grad[i + 6] = nv[i] / sv;
        grad[i + 3] = -(grad[i] + grad[i + 6]);
    }
}

} // namespace

double angle(const Vec3& a, const Vec3& b, const Vec3& c, double* grad, double* hess) {
    const Vec3 u{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    const Vec3 v{c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    const double cosine = dot(u, v) / (std::sqrt(dot(u, u)) * std::sqrt(dot(v, v)));
    // Rounding can carry the cosine of (nearly) collinear points just beyond +-1.
    const double theta = std::acos(std::clamp(cosine, -1.0, 1.0));
    if (grad != nullptr) {
        angle1(a, b, c, grad);
    }
    if (hess != nullptr) {
        // The single-precision 1e-7 widened to double. Each coordinate is raised, lowered and
        // raised again rather than restored from a copy, and later coordinates see the result.
        constexpr double h = 1.0000000116860974e-7;
        constexpr double twoh = 2.0000000233721948e-7;
        std::array<Vec3, 3> p{a, b, c};
        std::array<double, 9> gplus{};
        std::array<double, 9> gminus{};
        for (std::size_t i = 0; i < 9; ++i) {
            double& q = p[i / 3][i % 3];
            q = q + h;
            angle1(p[0], p[1], p[2], gplus.data());
            q = q - 2.0 * h;
            angle1(p[0], p[1], p[2], gminus.data());
            q = q + h;
            for (std::size_t k = 0; k < 9; ++k) {
                hess[i + 9 * k] = (gplus[k] - gminus[k]) / twoh;
            }
        }
    }
    return theta;
}
