// Torsion angle a-b-c-d in [0, 2 pi), with its analytical first and second derivatives.
//
// The derivatives are taken in the difference vectors F = a - b, G = b - c, H = d - c with
// A = F x G and B = H x G, where
//   dphi/dF = -|G| A / A.A,   dphi/dH = |G| B / B.B,
//   dphi/dG = (F.G) A / (A.A |G|) - (H.G) B / (B.B |G|),
// and carried over to the atoms by d/da = d/dF, d/db = d/dG - d/dF, d/dc = -d/dG - d/dH,
// d/dd = d/dH.
#include "analysis/analysis.h"

#include <array>
#include <cmath>

namespace {

using Mat3 = std::array<std::array<double, 3>, 3>; // m[row][column]

Vec3 cross(const Vec3& x, const Vec3& y) {
    return {x[1] * y[2] - x[2] * y[1], x[2] * y[0] - x[0] * y[2], x[0] * y[1] - x[1] * y[0]};
}

double dot(const Vec3& x, const Vec3& y) {
    return vsdot2(3, x.data(), y.data());
}

// [x] with [x] y = x cross y.
Mat3 crossmatrix(const Vec3& x) {
    return {{{0.0, -x[2], x[1]}, {x[2], 0.0, -x[0]}, {-x[1], x[0], 0.0}}};
}

Mat3 outer(const Vec3& x, const Vec3& y, double f) {
    Mat3 m{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[i][j] = f * x[i] * y[j];
        }
    }
    return m;
}

Mat3 product(const Mat3& x, const Mat3& y, double f) {
    Mat3 m{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            double sum = 0.0;
            for (std::size_t k = 0; k < 3; ++k) {
                sum += x[i][k] * y[k][j];
            }
            m[i][j] = f * sum;
        }
    }
    return m;
}

Mat3 operator+(const Mat3& x, const Mat3& y) {
    Mat3 m{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[i][j] = x[i][j] + y[i][j];
        }
    }
    return m;
}

Mat3 operator-(const Mat3& x) {
    Mat3 m{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[i][j] = -x[i][j];
        }
    }
    return m;
}

Mat3 operator-(const Mat3& x, const Mat3& y) {
    return x + -y;
}

Mat3 transpose(const Mat3& x) {
    Mat3 m{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[i][j] = x[j][i];
        }
    }
    return m;
}

// Derivative of x / (x.x) with respect to x: I / (x.x) - 2 x x^T / (x.x)^2.
Mat3 unitderivative(const Vec3& x) {
    const double xx = dot(x, x);
    Mat3 m = outer(x, x, -2.0 / (xx * xx));
    for (std::size_t i = 0; i < 3; ++i) {
        m[i][i] += 1.0 / xx;
    }
    return m;
}

// Block (atom k, atom l) of the 12 x 12 matrix, stored by column.
void putblock(double* hess, int k, int l, const Mat3& m) {
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            hess[(std::size_t(3 * k) + i) + 12 * (std::size_t(3 * l) + j)] = m[i][j];
        }
    }
}

// Blocks on the diagonal are symmetric in exact arithmetic; make them so in the last bit too.
Mat3 symmetric(const Mat3& x) {
    Mat3 m{};
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 3; ++j) {
            m[i][j] = 0.5 * (x[i][j] + x[j][i]);
        }
    }
    return m;
}

void secondderivatives(const Vec3& f, const Vec3& g, const Vec3& h, double* hess) {
    const Vec3 a = cross(f, g);
    const Vec3 b = cross(h, g);
    const double aa = dot(a, a);
    const double bb = dot(b, b);
    const double gg = dot(g, g);
    const double gn = std::sqrt(gg);
    const double alpha = dot(f, g) / gn; // (F.G) / |G|
    const double beta = dot(h, g) / gn;  // (H.G) / |G|
    const Vec3 ahat{a[0] / aa, a[1] / aa, a[2] / aa};
    const Vec3 bhat{b[0] / bb, b[1] / bb, b[2] / bb};
    const Mat3 pa = unitderivative(a);
    const Mat3 pb = unitderivative(b);
    const Mat3 cf = crossmatrix(f);
    const Mat3 cg = crossmatrix(g);
    const Mat3 ch = crossmatrix(h);
    // d|G|/dG = G / |G|; d alpha/dG = F / |G| - (F.G) G / |G|^3, likewise for beta.
    Vec3 dalpha{};
    Vec3 dbeta{};
    for (std::size_t i = 0; i < 3; ++i) {
        dalpha[i] = f[i] / gn - alpha * g[i] / gg;
        dbeta[i] = h[i] / gn - beta * g[i] / gg;
    }
    // dA = -[G] dF + [F] dG and dB = -[G] dH + [H] dG.
    const Mat3 hff = symmetric(product(pa, cg, gn));
    const Mat3 hhh = symmetric(product(pb, cg, -gn));
    const Mat3 hfg = outer(ahat, g, -1.0 / gn) - product(pa, cf, gn);
    const Mat3 hgh = outer(bhat, g, -1.0 / gn) + product(pb, cg, beta);
    const Mat3 hgg = symmetric(outer(ahat, dalpha, 1.0) + product(pa, cf, alpha) -
                               outer(bhat, dbeta, 1.0) - product(pb, ch, beta));
    const Mat3 hgf = transpose(hfg);
    const Mat3 hhg = transpose(hgh);
    // Blocks of atoms a, b, c, d (0..3) by the same map; F and H never meet, so a-d is 0.
    const Mat3 zero{};
    const Mat3 ab = hfg - hff;
    const Mat3 ac = -hfg;
    const Mat3 bb2 = symmetric(hff - hfg - hgf + hgg);
    const Mat3 bc = hfg - hgg - hgh;
    const Mat3 bd = hgh;
    const Mat3 cc = symmetric(hgg + hgh + hhg + hhh);
    const Mat3 cd = -hgh - hhh;
    putblock(hess, 0, 0, hff);
    putblock(hess, 0, 1, ab);
    putblock(hess, 0, 2, ac);
    putblock(hess, 0, 3, zero);
    putblock(hess, 1, 1, bb2);
    putblock(hess, 1, 2, bc);
    putblock(hess, 1, 3, bd);
    putblock(hess, 2, 2, cc);
    putblock(hess, 2, 3, cd);
    putblock(hess, 3, 3, hhh);
    putblock(hess, 1, 0, transpose(ab));
    putblock(hess, 2, 0, transpose(ac));
    putblock(hess, 3, 0, zero);
    putblock(hess, 2, 1, transpose(bc));
    putblock(hess, 3, 1, transpose(bd));
    putblock(hess, 3, 2, transpose(cd));
}

} // namespace

double dihedral(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, double* grad,
                double* hess) {
    const Vec3 u{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const Vec3 v{c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    const Vec3 w{d[0] - c[0], d[1] - c[1], d[2] - c[2]};
    const Vec3 p = cross(u, v);
    const Vec3 q = cross(v, w);
    // Collinear atoms make p or q zero and the cosine a quotient of zeros; that is not guarded.
    double cosphi = dot(p, q) / (std::sqrt(dot(p, p)) * std::sqrt(dot(q, q)));
    if (std::abs(cosphi) > 1.0) {
        cosphi = cosphi / std::abs(cosphi);
    }
    double phi = std::acos(cosphi);
    // Negative torsions become 2 pi minus their magnitude. A planar cis torsion whose sign test
    // falls negative by rounding becomes 2 pi, the same angle as 0; earlier Z-matrices and
    // reports were written that way, so it is kept.
    if (dot(cross(p, q), v) < 0.0) {
        phi = 6.283185307179586 - phi;
    }
    if (grad != nullptr || hess != nullptr) {
        const Vec3 f{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
        const Vec3 g{b[0] - c[0], b[1] - c[1], b[2] - c[2]};
        const Vec3 h{d[0] - c[0], d[1] - c[1], d[2] - c[2]};
        if (grad != nullptr) {
            const Vec3 aa = cross(f, g);
            const Vec3 bb = cross(h, g);
            const double a2 = dot(aa, aa);
            const double b2 = dot(bb, bb);
            const double gn = std::sqrt(dot(g, g));
            const double ca = gn / a2;
            const double cb = gn / b2;
            const double fg = dot(f, g) / (a2 * gn);
            const double hg = dot(h, g) / (b2 * gn);
            for (std::size_t i = 0; i < 3; ++i) {
                grad[i] = -ca * aa[i];
                grad[i + 3] = ca * aa[i] + fg * aa[i] - hg * bb[i];
                grad[i + 6] = -cb * bb[i] - fg * aa[i] + hg * bb[i];
                grad[i + 9] = cb * bb[i];
            }
        }
        if (hess != nullptr) {
            secondderivatives(f, g, h, hess);
        }
    }
    return phi;
}
