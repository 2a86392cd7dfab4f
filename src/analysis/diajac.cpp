// Eigenvalues and eigenvectors of a real symmetric matrix by the cyclic Jacobi method with a
// threshold, sorted ascending.
#include "analysis/analysis.h"
#include "control/control.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace {

// Single-precision 0.2 widened to double: the threshold factor of the first three sweeps.
constexpr double thresholdfactor = 0.20000000298023224;
constexpr int maxsweeps = 50;

// The loops below run on four elements at once where the processor has AVX2. Each element gets
// the same operations in the same order either way (no fused multiply-add), so the bits do not
// depend on the processor.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KRU_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KRU_AVX2_CLONES
#endif

// The rotation of the pairs x = xp[r], y = yq[r] for r in [from, to), both from their old values.
KRU_AVX2_CLONES void rotate(double* xp, double* yq, std::size_t from, std::size_t to, double s,
                            double tau) {
    for (std::size_t r = from; r < to; ++r) {
        const double x = xp[r];
        const double y = yq[r];
        xp[r] = x - s * (y + x * tau);
        yq[r] = y + s * (x - y * tau);
    }
}

// Row p made the mirror of column p again, for r in [from, to).
void mirror(double* a, std::size_t n, std::size_t p, std::size_t from, std::size_t to) {
    const double* colp = a + n * p;
    for (std::size_t r = from; r < to; ++r) {
        a[p + n * r] = colp[r];
    }
}

// The rotation of column p below row q with row q in the columns after q, where row q is
// current; column q below the diagonal is left as it is, mirrored from row q before it is read.
void rotatewithrow(double* a, std::size_t n, double* colp, std::size_t q, double s, double tau) {
    for (std::size_t r = q + 1; r < n; ++r) {
        const double x = colp[r];
        const double y = a[q + n * r];
        colp[r] = x - s * (y + x * tau);
        a[q + n * r] = y + s * (x - y * tau);
    }
}

// Column c below the diagonal made the mirror of row c again. Read across the columns, but the
// next column's rows lie in the same cache lines.
void mirrorcolumn(double* a, std::size_t n, std::size_t c) {
    for (std::size_t r = c + 1; r < n; ++r) {
        a[r + n * c] = a[c + n * r];
    }
}

// The lower triangle of the columns from `from` on made the mirror of the upper one again, tile
// by tile, so that each cache line is fetched once for several elements.
KRU_AVX2_CLONES void lowerfromupper(double* a, std::size_t n, std::size_t from) {
    constexpr std::size_t tile = 8;
    for (std::size_t jb = from; jb < n; jb += tile) {
        const std::size_t jend = std::min(jb + tile, n);
        for (std::size_t ib = jb; ib < n; ib += tile) {
            const std::size_t iend = std::min(ib + tile, n);
            for (std::size_t j = jb; j < jend; ++j) {
                for (std::size_t i = std::max(ib, j + 1); i < iend; ++i) {
                    a[i + n * j] = a[j + n * i];
                }
            }
        }
    }
}

} // namespace

// The method is defined on the upper triangle. The lower triangle is made its mirror at entry,
// so that a rotation reads and writes column p whole (contiguous in memory) and column q above
// the diagonal, and takes exactly the values the upper triangle holds. Below the diagonal the
// rotation takes row q itself, which is current there, and leaves column q as it is. Column p
// below the diagonal is mirrored from row p before the rotations of that p, and row p from it
// once after them (the rotations of later p read it in their columns). The whole lower triangle
// is mirrored once at the end of a sweep, for the sum of the next.
void diajac(double* a, double* v, double* d, int n) {
    const std::size_t nn = std::size_t(n > 0 ? n : 0);
    auto at = [&](std::size_t i, std::size_t j) -> double& { return a[i + nn * j]; };
    auto vt = [&](std::size_t i, std::size_t j) -> double& { return v[i + nn * j]; };

    for (std::size_t j = 0; j < nn; ++j) {
        for (std::size_t i = 0; i < j; ++i) {
            at(j, i) = at(i, j);
        }
    }
    std::vector<double> b(nn);
    std::vector<double> z(nn, 0.0);
    for (std::size_t p = 0; p < nn; ++p) {
        for (std::size_t i = 0; i < nn; ++i) {
            vt(i, p) = i == p ? 1.0 : 0.0;
        }
        d[p] = at(p, p);
        b[p] = d[p];
    }

    bool converged = false;
    for (int sweep = 1; sweep <= maxsweeps && !converged; ++sweep) {
        // Summed row by row over the upper triangle; column p below the diagonal holds row p.
        double offdiag = 0.0;
        for (std::size_t p = 0; p + 1 < nn; ++p) {
            for (std::size_t q = p + 1; q < nn; ++q) {
                offdiag += std::abs(at(q, p));
            }
        }
        if (offdiag == 0.0) {
            converged = true;
            break;
        }
        const double threshold = sweep <= 3 ? thresholdfactor * offdiag / double(nn * nn) : 0.0;

        for (std::size_t p = 0; p + 1 < nn; ++p) {
            mirrorcolumn(a, nn, p);
            for (std::size_t q = p + 1; q < nn; ++q) {
                const double apq = at(q, p);
                const double g = 100.0 * std::abs(apq);
                // After four sweeps an element too small to change either diagonal entry is
                // dropped without a rotation.
                if (sweep > 4 && std::abs(d[p]) + g == std::abs(d[p]) &&
                    std::abs(d[q]) + g == std::abs(d[q])) {
                    at(p, q) = 0.0;
                    at(q, p) = 0.0;
                    continue;
                }
                if (!(std::abs(apq) > threshold)) {
                    continue;
                }
                double h = d[q] - d[p];
                double t;
                if (std::abs(h) + g == std::abs(h)) {
                    t = apq / h;
                } else {
                    const double theta = 0.5 * h / apq;
                    t = 1.0 / (std::abs(theta) + std::sqrt(1.0 + theta * theta));
                    if (theta < 0.0) {
                        t = -t;
                    }
                }
                const double c = 1.0 / std::sqrt(1.0 + t * t);
                const double s = t * c;
                const double tau = s / (1.0 + c);
                h = t * apq;
                z[p] -= h;
                z[q] += h;
                d[p] -= h;
                d[q] += h;
                at(p, q) = 0.0;
                at(q, p) = 0.0;
                // Rows p and q are left out by splitting the range, so the loops carry no test
                // and the compiler can run them on several elements at once.
                double* colp = &at(0, p);
                double* colq = &at(0, q);
                rotate(colp, colq, 0, p, s, tau);
                rotate(colp, colq, p + 1, q, s, tau);
                rotatewithrow(a, nn, colp, q, s, tau);
                rotate(&vt(0, p), &vt(0, q), 0, nn, s, tau);
            }
            mirror(a, nn, p, p + 1, nn);
        }
        lowerfromupper(a, nn, 0);
        for (std::size_t p = 0; p < nn; ++p) {
            b[p] += z[p];
            d[p] = b[p];
            z[p] = 0.0;
        }
    }
    if (!converged) {
        myexit("50 iterations in jacobi should never happen", "remakevibs");
    }

    // Selection sort; "less than or equal" moves the last of equal values first.
    for (std::size_t p = 0; p + 1 < nn; ++p) {
        std::size_t k = p;
        double smallest = d[p];
        for (std::size_t j = p + 1; j < nn; ++j) {
            if (d[j] <= smallest) {
                k = j;
                smallest = d[j];
            }
        }
        if (k != p) {
            d[k] = d[p];
            d[p] = smallest;
            for (std::size_t r = 0; r < nn; ++r) {
                std::swap(vt(r, p), vt(r, k));
            }
        }
    }
}
