// Reorientation on three atoms: the first at the origin, the second on +z, the third in the xz
// plane with positive x.
#include "analysis/analysis.h"
#include "store/store.h"

#include <cmath>

void reorient_coordinates(Store& s, double* coords) {
    const long long i1 = s.idorient[0];
    const long long i2 = s.idorient[1];
    const long long i3 = s.idorient[2];
    for (long long i : {i1, i2, i3}) {
        if (i < 1 || i > s.nat) {
            return;
        }
    }
    auto at = [&](long long a) { return coords + 3 * (a - 1); };
    const Vec3 origin{at(i1)[0], at(i1)[1], at(i1)[2]};
    // The first two atoms at one place (the same atom given twice) give no axis: the frame
    // would be not-a-number and so would every coordinate. Such a geometry stays as it is.
    double axis = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double d = at(i2)[k] - origin[std::size_t(k)];
        axis += d * d;
    }
    if (!(axis > 0.0) || !std::isfinite(axis)) {
        return;
    }
    for (long long a = 1; a <= s.nat; ++a) {
        for (int k = 0; k < 3; ++k) {
            at(a)[k] -= origin[std::size_t(k)];
        }
    }
    auto pointof = [&](long long a) { return Vec3{at(a)[0], at(a)[1], at(a)[2]}; };
    const Vec3 p1 = pointof(i1);
    const Vec3 p2 = pointof(i2);
    const Vec3 p3 = pointof(i3);
    const double length = std::sqrt(p2[0] * p2[0] + p2[1] * p2[1] + p2[2] * p2[2]);
    const Vec3 z{p2[0] / length, p2[1] / length, p2[2] / length};
    const Vec3 x = zmat2c(p1, p2, p3, 1.0, 1.5707963267948966, 0.0, s.log());
    const Vec3 y{z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    const double frame[9] = {x[0], x[1], x[2], y[0], y[1], y[2], z[0], z[1], z[2]};
    for (long long a = 1; a <= s.nat; ++a) {
        double rotated[3];
        mmulrr(at(a), 1, 3, frame, 3, 3, "NO", rotated);
        for (int k = 0; k < 3; ++k) {
            at(a)[k] = rotated[k];
        }
    }
}
