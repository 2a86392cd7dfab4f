// Recomputes the frequencies and normal modes for the isotope masses: the mass-weighted Hessian
// is rebuilt from the stored modes, the substituted atoms are reweighted, and the Hessian is
// diagonalised again without the six eigenvalues of translation and rotation.
#include "analysis/analysis.h"
#include "control/control.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <new>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace {

// cm-1 per square root of Hartree per Bohr squared per amu.
constexpr double wavenumber = 5140.4633;

// Atoms that carry mode components. Element 98 never does; elements without a table mass would
// divide by zero when the new modes are turned back into displacements.
bool participates(int z) {
    return z >= 1 && z <= 97 && defatmass(z) > 0.0;
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KRU_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define KRU_VECTOR_CLONES
#endif

// h[i] += x[i] * t for i < count, on several elements at once where the processor allows (no
// fused multiply-add, so the bits are the same on every processor).
KRU_VECTOR_CLONES void addscaled(double* h, const double* x, double t, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        h[i] += x[i] * t;
    }
}

template <class T>
std::vector<T> worktable(std::ostream& log, std::string_view name, std::size_t count) {
    try {
        return std::vector<T>(count, T());
    } catch (const std::bad_alloc&) {
        allocexit(log, name, static_cast<long long>(count), "allocstuff");
    } catch (const std::length_error&) {
        allocexit(log, name, static_cast<long long>(count), "allocstuff");
    }
}

} // namespace

void remakevibs(Store& s) {
    const int nf = 3 * s.nat - 6;
    if (s.nat < 3 || s.nvib < nf) {
        s.log() << " Isotope recomputation skipped: needs 3N-6 stored modes\n";
        return;
    }
    const std::size_t n = 3 * std::size_t(s.nat);
    const std::size_t nvib = std::size_t(s.nvib);
    const std::size_t columns = nvib > n ? nvib : n;

    // The stored modes, mass-weighted and of unit length, are later overwritten by the
    // eigenvectors; their eigenvalues likewise by the new ones.
    std::vector<double> q = worktable<double>(s.log(), "HNRM", n * columns);
    std::vector<double> lambda = worktable<double>(s.log(), "HEIG", columns);
    std::vector<double> hess = worktable<double>(s.log(), "HESS", n * n);
    std::vector<char> discarded = worktable<char>(s.log(), "IROTRANS", n);

    for (std::size_t m = 0; m < nvib; ++m) {
        const double x = s.vibs(int(m + 1)) / wavenumber;
        lambda[m] = x * x; // an imaginary mode's sign is lost here
        double* qm = &q[n * m];
        for (int a = 1; a <= s.nat; ++a) {
            if (!participates(s.iat(a))) {
                continue;
            }
            const double root = std::sqrt(defatmass(s.iat(a)));
            for (int k = 1; k <= 3; ++k) {
                qm[3 * std::size_t(a - 1) + std::size_t(k - 1)] = s.vibvec(k, a, int(m + 1)) * root;
            }
        }
        // A mode stored as all zeros adds nothing instead of turning the Hessian into NaN.
        const double length = std::sqrt(vsdot2(static_cast<long long>(n), qm, qm));
        if (length > 0.0) {
            for (std::size_t c = 0; c < n; ++c) {
                qm[c] = qm[c] / length;
            }
        }
    }

    // H = Q diag(lambda) Q^T, upper triangle only (diajac reads no more). Each entry sums its
    // terms from 0 in mode order, as the two dense products would: the products' other terms
    // are exact zeros and change no sum.
    // Taken a band of columns at a time through all modes, so that the band stays in cache while
    // the modes stream past, instead of the whole triangle streaming past every mode.
    constexpr std::size_t band = 32;
    for (std::size_t j0 = 0; j0 < n; j0 += band) {
        const std::size_t j1 = std::min(j0 + band, n);
        for (std::size_t m = 0; m < nvib; ++m) {
            const double* qm = &q[n * m];
            for (std::size_t j = j0; j < j1; ++j) {
                addscaled(&hess[n * j], qm, lambda[m] * qm[j], j + 1);
            }
        }
    }

    // Reweighting: rows and columns of the substituted atom's coordinates, so its diagonal
    // entries get the factor squared; entries of one atom apply their factors in turn.
    for (int i = 1; i <= s.nisotp; ++i) {
        const int a = s.iisotp(i);
        if (!participates(s.iat(a))) {
            myexit("Error with isotp id", "remakevibs");
        }
        const double f = std::sqrt(defatmass(s.iat(a))) / std::sqrt(s.risotp(i));
        for (std::size_t c = 3 * std::size_t(a - 1); c < 3 * std::size_t(a); ++c) {
            for (std::size_t j = c; j < n; ++j) {
                hess[c + n * j] *= f;
            }
            for (std::size_t r = 0; r <= c; ++r) {
                hess[r + n * c] *= f;
            }
        }
    }

    diajac(hess.data(), q.data(), lambda.data(), int(n));

    // The six eigenvalues nearest zero belong to translation and rotation; among equal
    // magnitudes the lowest index goes.
    for (int round = 0; round < 6; ++round) {
        double smallest = 1000000.0;
        std::size_t found = n;
        for (std::size_t j = 0; j < n; ++j) {
            if (!discarded[j] && std::abs(lambda[j]) < smallest) {
                smallest = std::abs(lambda[j]);
                found = j;
            }
        }
        if (found < n) {
            discarded[found] = 1;
        }
    }

    // The rest, ascending, become modes 1..3N-6 (never more: the store holds no further modes).
    int m = 0;
    for (std::size_t j = 0; j < n && m < nf; ++j) {
        if (discarded[j]) {
            continue;
        }
        ++m;
        s.vibs(m) = wavenumber * std::sqrt(std::abs(lambda[j]));
        const double* vj = &q[n * j];
        double sum = 0.0;
        for (int a = 1; a <= s.nat; ++a) {
            if (!participates(s.iat(a))) {
                continue;
            }
            // Displacements are unweighted with the element-table mass, also for a substituted
            // atom, as earlier recomputations were; the mode is normalised below.
            const double root = std::sqrt(defatmass(s.iat(a)));
            for (int k = 1; k <= 3; ++k) {
                const double x = vj[3 * std::size_t(a - 1) + std::size_t(k - 1)] / root;
                s.vibvec(k, a, m) = x;
                sum += x * x;
            }
        }
        // A mode living only on atoms that carry no components stays zero rather than NaN.
        if (sum > 0.0) {
            const double scale = 1.0 / std::sqrt(sum);
            for (int a = 1; a <= s.nat; ++a) {
                if (participates(s.iat(a))) {
                    for (int k = 1; k <= 3; ++k) {
                        s.vibvec(k, a, m) *= scale;
                    }
                }
            }
        }
    }
}
