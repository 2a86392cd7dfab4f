// Distance between two points, with its first and second derivatives on request.
#include "analysis/analysis.h"

#include <cmath>

double bond(const Vec3& a, const Vec3& b, double* grad, double* hess) {
    const Vec3 d{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    // No guard for coincident points: r = 0 and the derivatives are not finite.
    const double r = std::sqrt(vsdot2(3, d.data(), d.data()));
    if (grad != nullptr) {
        for (int i = 0; i < 3; ++i) {
            grad[i] = d[std::size_t(i)] / r;
            grad[i + 3] = -d[std::size_t(i)] / r;
        }
    }
    if (hess != nullptr) {
        const double r3 = r * r * r;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                const double m =
                    (i == j ? 1.0 / r : 0.0) - d[std::size_t(i)] * d[std::size_t(j)] / r3;
                // The 6 x 6 matrix is [[M, -M], [-M, M]], stored by column.
                hess[i + 6 * j] = m;
                hess[(i + 3) + 6 * (j + 3)] = m;
                hess[(i + 3) + 6 * j] = -m;
                hess[i + 6 * (j + 3)] = -m;
            }
        }
    }
    return r;
}
