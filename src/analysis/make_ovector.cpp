// A point beside b: b plus a unit vector perpendicular to c - b, and to a - b where the three
// points allow it. Used where a, b and c lie on one line and their plane is undefined.
#include "analysis/analysis.h"
#include "control/control.h"
#include "control/fixedwidth.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

namespace {

double dot(const Vec3& x, const Vec3& y) {
    return x[0] * y[0] + x[1] * y[1] + x[2] * y[2];
}

// A vector of length 0 stays as it is, so coincident points give no NaN.
Vec3 unitdiff(const Vec3& x, const Vec3& y) {
    Vec3 d{x[0] - y[0], x[1] - y[1], x[2] - y[2]};
    const double len = std::sqrt(dot(d, d));
    if (len > 0.0) {
        for (double& e : d) {
            e /= len;
        }
    }
    return d;
}

void printvec(std::ostream& log, std::string_view label, const Vec3& v) {
    std::string line(label);
    for (double e : v) {
        fw::F(line, e, 10, 5);
    }
    log << line << '\n';
}

} // namespace

Vec3 make_ovector(const Vec3& a, const Vec3& b, const Vec3& c, std::ostream& log) {
    const Vec3 g1 = unitdiff(a, b);
    const Vec3 g2 = unitdiff(c, b);

    // A frame whose third axis is g2: polar angle theta, azimuth phi. Cosines and roots that
    // rounding puts a hair outside [-1, 1] are clamped, and a zero g2 (c on b) takes phi 0, so
    // no NaN reaches the coordinates.
    const double z = std::clamp(g2[2], -1.0, 1.0);
    const double theta = std::acos(z);
    double phi = 0.0;
    const double rho = std::sqrt(g2[0] * g2[0] + g2[1] * g2[1]);
    if (!(std::abs(z - 1.0) <= 1e-10 || std::sqrt(1.0 - z * z) <= 1e-8 || rho == 0.0)) {
        phi = std::acos(std::clamp(g2[0] / rho, -1.0, 1.0));
        if (g2[1] < 0.0) {
            phi = -phi;
        }
    }
    const double cp = std::cos(phi);
    const double sp = std::sin(phi);
    const double ct = std::cos(theta);
    const double st = std::sin(theta);
    const Vec3 r1{cp * ct, sp * ct, -st};
    const Vec3 r2{-sp, cp, 0.0};
    const Vec3 r3{cp * st, sp * st, ct};
    const Vec3 t{dot(r1, g1), dot(r2, g1), dot(r3, g1)};

    // w(x) lies in the frame's xy plane; the x that makes it orthogonal to t solves a quadratic.
    const double ca = std::exp(t[2] * t[2]);
    const double cb = 1.0 - ca;
    auto w = [&](double x) {
        return Vec3{cb + x * ca, ca * std::sqrt(std::max(0.0, 1.0 - x * x)), 0.0};
    };
    double x = 0.0;
    if (std::abs(t[1]) <= 1e-10) {
        x = 1.0 - std::exp(-t[2] * t[2]);
    } else {
        const double e = std::exp(-t[2] * t[2]) - 1.0;
        const double p = t[0] * t[0] / (t[1] * t[1]);
        const double k = p + 1.0;
        const double d = 4.0 * e * e * p * p - 4.0 * (e * e * p - 1.0) * k;
        const double h = d > 0.0 ? std::sqrt(d) / 2.0 : 0.0;
        const double q = e * p;
        const double x1 = (h - q) / k;
        const double x2 = (-q - h) / k;
        if (std::abs(x1) > 1.0 && std::abs(x2) > 1.0) {
            myexit("a's groter dan 1.. contact " + std::string(maintainer), "make_ovector");
        }
        // Squaring brought in a second root; the one with the smaller overlap is the true one.
        const double o1 = dot(w(x1), t);
        const double o2 = dot(w(x2), t);
        const bool both = std::abs(o1) < 1e-10 && std::abs(o2) < 1e-10;
        x = std::abs(o1) <= std::abs(o2) || both ? x1 : x2;
    }
    Vec3 wv = w(x);
    const double len = std::sqrt(dot(wv, wv));
    if (len < 0.01) {
        printvec(log, "gi ", a);
        printvec(log, "gj ", b);
        printvec(log, "gk ", c);
        printvec(log, "gij ", g1);
        printvec(log, "gkj ", g2);
        printvec(log, "rij ", t);
        printvec(log, "rkj ", Vec3{dot(r1, g2), dot(r2, g2), dot(r3, g2)});
        printvec(log, "angles ", Vec3{phi, theta, 0.0});
        std::string line = "cA,cB,a,b ";
        for (double v : {ca, cb, x, std::sqrt(std::max(0.0, 1.0 - x * x))}) {
            fw::F(line, v, 10, 5);
        }
        log << line << '\n';
        log << "Dorvan let op: lengte te klein " << fw::F(len, 15, 10) << '\n';
    } else {
        for (double& e : wv) {
            e /= len;
        }
    }
    const double overlap = dot(wv, t);
    if (std::abs(overlap) > 1e-10) {
        log << "Dorvan let op: overlap niet nul " << fw::F(overlap, 15, 10) << '\n';
    }
    return Vec3{b[0] + r1[0] * wv[0] + r2[0] * wv[1] + r3[0] * wv[2],
                b[1] + r1[1] * wv[0] + r2[1] * wv[1] + r3[1] * wv[2],
                b[2] + r1[2] * wv[0] + r2[2] * wv[1] + r3[2] * wv[2]};
}
