// Places one atom from three reference points: at distance r from a, with the angle theta at
// a towards b and the dihedral phi over a-b-c.
#include "analysis/analysis.h"

#include <cmath>

namespace {

double dot(const Vec3& x, const Vec3& y) {
    return x[0] * y[0] + x[1] * y[1] + x[2] * y[2];
}

Vec3 cross(const Vec3& x, const Vec3& y) {
    return {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
}

// Divided by its length when that is above 0; a zero vector stays as it is.
Vec3 unit(Vec3 v) {
    const double len = std::sqrt(dot(v, v));
    if (len > 0.0) {
        for (double& e : v) {
            e /= len;
        }
    }
    return v;
}

} // namespace

Vec3 zmat2c(const Vec3& a, const Vec3& b, const Vec3& c, double r, double theta, double phi,
            std::ostream& log) {
    const Vec3 u = unit({b[0] - a[0], b[1] - a[1], b[2] - a[2]});
    const Vec3 v = unit({c[0] - b[0], c[1] - b[1], c[2] - b[2]});
    Vec3 n = cross(u, v);
    if (dot(n, n) < 1e-10) {
        // a, b and c on one line: any direction perpendicular to it defines the plane.
        const Vec3 p = make_ovector(a, b, c, log);
        n = {p[0] - b[0], p[1] - b[1], p[2] - b[2]};
    } else {
        n = unit(n);
    }
    const Vec3 m = unit(cross(n, u));
    const double along = r * std::cos(theta);
    const double inplane = r * std::sin(theta) * std::cos(phi);
    const double outofplane = r * std::sin(theta) * std::sin(phi);
    Vec3 d{};
    for (std::size_t i = 0; i < 3; ++i) {
        d[i] = a[i] + along * u[i] + inplane * m[i] - outofplane * n[i];
    }
    return d;
}
