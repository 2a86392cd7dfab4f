// Distances, angles and dihedrals computed independently of the program's own kernels, to check
// where the Z-matrix conversion puts an atom.
#pragma once

#include "analysis/analysis.h"

#include <cmath>

namespace check {

inline Vec3 sub(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline double dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double norm(const Vec3& a) {
    return std::sqrt(dot(a, a));
}
inline double distance(const Vec3& a, const Vec3& b) {
    return norm(sub(a, b));
}
/// Angle a-b-c at vertex b.
inline double angle(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 u = sub(a, b);
    const Vec3 v = sub(c, b);
    return std::atan2(norm(cross(u, v)), dot(u, v));
}
/// Dihedral a-b-c-d in [0, 2 pi), positive in the sense of (p x q) . (c - b) with p and q the
/// normals of the planes a-b-c and b-c-d.
inline double dihedral(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d) {
    const Vec3 v = sub(c, b);
    const Vec3 p = cross(sub(b, a), v);
    const Vec3 q = cross(v, sub(d, c));
    const double phi = std::atan2(dot(cross(p, q), v) / norm(v), dot(p, q));
    return phi < 0.0 ? phi + 2.0 * M_PI : phi;
}
/// Difference of two angles on the circle, in [0, pi].
inline double circulardiff(double x, double y) {
    const double d = std::fmod(std::abs(x - y), 2.0 * M_PI);
    return std::min(d, 2.0 * M_PI - d);
}

} // namespace check
