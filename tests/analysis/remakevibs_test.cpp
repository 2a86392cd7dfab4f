#include "analysis/analysis.h"
#include "control/control.h"
#include "store/atominfo.h"
#include "store/store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr double wavenumber = 5140.4633;

using Vector = std::vector<double>;

// A random orthonormal basis of R^n (Gram-Schmidt twice over, for full orthogonality).
std::vector<Vector> orthonormalbasis(std::size_t n, std::mt19937& gen) {
    std::normal_distribution<double> g;
    std::vector<Vector> basis;
    while (basis.size() < n) {
        Vector v(n);
        for (double& x : v) {
            x = g(gen);
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (const Vector& b : basis) {
                double dot = 0.0;
                for (std::size_t i = 0; i < n; ++i) {
                    dot += b[i] * v[i];
                }
                for (std::size_t i = 0; i < n; ++i) {
                    v[i] -= dot * b[i];
                }
            }
        }
        double norm = 0.0;
        for (double x : v) {
            norm += x * x;
        }
        for (double& x : v) {
            x /= std::sqrt(norm);
        }
        basis.push_back(v);
    }
    return basis;
}

// A molecule whose stored modes are orthonormal in mass-weighted coordinates, stored as
// Cartesian displacements of arbitrary length, with the given frequencies.
Store molecule(const std::vector<int>& elements, const Vector& freqs, std::mt19937& gen) {
    Store s;
    s.nat = int(elements.size());
    s.nvib = int(freqs.size());
    allocstuff(s);
    const std::size_t n = 3 * elements.size();
    const std::vector<Vector> basis = orthonormalbasis(n, gen);
    std::uniform_real_distribution<double> length(0.1, 3.0);
    for (int m = 1; m <= s.nvib; ++m) {
        s.vibs(m) = freqs[std::size_t(m - 1)];
        const double scale = length(gen);
        for (int a = 1; a <= s.nat; ++a) {
            s.iat(a) = elements[std::size_t(a - 1)];
            const double mass = defatmass(s.iat(a));
            for (int k = 1; k <= 3; ++k) {
                const double q = basis[std::size_t(m - 1)][std::size_t(3 * (a - 1) + k - 1)];
                s.vibvec(k, a, m) = mass > 0.0 ? scale * q / std::sqrt(mass) : 0.0;
            }
        }
    }
    return s;
}

void substitute(Store& s, int atom, double mass) {
    ++s.nisotp;
    s.iisotp(s.nisotp) = atom;
    s.risotp(s.nisotp) = mass;
}

Vector frequencies(const Store& s) {
    Vector f;
    for (int m = 1; m <= s.nvib; ++m) {
        f.push_back(s.vibs(m));
    }
    return f;
}

Vector mode(const Store& s, int m) {
    Vector v;
    for (int a = 1; a <= s.nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            v.push_back(s.vibvec(k, a, m));
        }
    }
    return v;
}

double cosine(const Vector& u, const Vector& v) {
    double uv = 0.0, uu = 0.0, vv = 0.0;
    for (std::size_t i = 0; i < u.size(); ++i) {
        uv += u[i] * v[i];
        uu += u[i] * u[i];
        vv += v[i] * v[i];
    }
    return uv / std::sqrt(uu * vv);
}

std::string quietly(Store& s) {
    testing::internal::CaptureStdout();
    try {
        remakevibs(s);
    } catch (...) {
        testing::internal::GetCapturedStdout();
        throw;
    }
    return testing::internal::GetCapturedStdout();
}

// Formaldehyde-like: C, O, H, H; 3N - 6 = 6 modes, one of them imaginary.
const std::vector<int> ch2o = {6, 8, 1, 1};
const Vector ch2ofreqs = {-250.0, 1180.0, 1250.0, 1510.0, 1750.0, 2850.0};

TEST(Remakevibs, TableMassesGiveBackTheStoredModes) {
    std::mt19937 gen(3);
    Store s = molecule(ch2o, ch2ofreqs, gen);
    const Store stored = s;
    substitute(s, 3, defatmass(1));
    EXPECT_EQ(quietly(s), "");
    const Vector f = frequencies(s);
    // The imaginary mode comes back as a real one, in ascending place.
    const Vector expected = {250.0, 1180.0, 1250.0, 1510.0, 1750.0, 2850.0};
    for (std::size_t m = 0; m < f.size(); ++m) {
        EXPECT_NEAR(f[m], expected[m], 1e-9 * expected[m]) << "mode " << m + 1;
        const Vector v = mode(s, int(m + 1));
        double length = 0.0;
        for (double x : v) {
            length += x * x;
        }
        EXPECT_NEAR(length, 1.0, 1e-12);
        // Stored modes are in the same order: the ascending absolute values keep it.
        EXPECT_NEAR(std::abs(cosine(v, mode(stored, int(m + 1)))), 1.0, 1e-10) << "mode " << m + 1;
    }
}

TEST(Remakevibs, HeavierMassNeverRaisesAFrequency) {
    std::mt19937 gen(5);
    const Store base = molecule(ch2o, {310.0, 980.0, 1190.0, 1500.0, 1720.0, 2900.0}, gen);
    Store unchanged = base;
    substitute(unchanged, 1, defatmass(6));
    quietly(unchanged);
    const Vector before = frequencies(unchanged);
    struct Case {
        int atom;
        double mass;
    };
    for (const Case c : {Case{3, 2.0141}, Case{4, 3.016}, Case{1, 13.00335}, Case{2, 17.9992}}) {
        SCOPED_TRACE(c.atom);
        Store s = base;
        substitute(s, c.atom, c.mass);
        quietly(s);
        const Vector after = frequencies(s);
        double drop = 0.0;
        for (std::size_t m = 0; m < after.size(); ++m) {
            EXPECT_LE(after[m], before[m] * (1.0 + 1e-12)) << "mode " << m + 1;
            drop = std::max(drop, before[m] - after[m]);
        }
        EXPECT_GT(drop, 1.0);
    }
}

// Normal modes are orthogonal when weighted with the masses they belong to: the new masses.
TEST(Remakevibs, SkippedWithoutRoomForTheNewModes) {
    struct Case {
        std::vector<int> elements;
        Vector freqs;
    };
    const Case cases[] = {
        {{1, 1}, {4400.0}},                   // two atoms: no six eigenvalues to drop
        {{8, 1, 1}, {1600.0, 3700.0}},        // 3N - 6 = 3 modes needed
        {{6, 8, 1, 1}, {1.0, 2.0, 3.0, 4.0}}, // 6 needed
    };
    for (const Case& c : cases) {
        std::mt19937 gen(1);
        Store s = molecule(c.elements, c.freqs, gen);
        substitute(s, 1, 100.0);
        const Store before = s;
        EXPECT_EQ(quietly(s), " Isotope recomputation skipped: needs 3N-6 stored modes\n");
        for (int m = 1; m <= s.nvib; ++m) {
            EXPECT_EQ(s.vibs(m), before.vibs(m));
            EXPECT_EQ(mode(s, m), mode(before, m));
        }
    }
}

// A linear molecule stores 3N - 5 modes; the new 3N - 6 take the first places and the last
// stored mode stays as it was.
TEST(Remakevibs, SurplusModesKeepTheirValues) {
    std::mt19937 gen(4);
    Store s = molecule({8, 6, 8}, {667.0, 667.5, 1388.0, 2349.0}, gen);
    substitute(s, 2, 13.00335);
    const Vector last = mode(s, 4);
    quietly(s);
    EXPECT_EQ(s.vibs(4), 2349.0);
    EXPECT_EQ(mode(s, 4), last);
    EXPECT_LT(s.vibs(3), 2349.0);
}

TEST(Remakevibs, IsotopeOnAnAtomWithoutModeComponents) {
    // Element 98 is a second oxygen entry that never carries mode components; the dummy atom 94
    // has no mass.
    for (int z : {98, 94}) {
        std::mt19937 gen(2);
        Store s = molecule({6, z, 1, 1}, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0}, gen);
        substitute(s, 2, 16.0);
        try {
            quietly(s);
            ADD_FAILURE() << "no stop for element " << z;
        } catch (const RunError& e) {
            EXPECT_STREQ(e.what(), "Error with isotp id");
            EXPECT_EQ(e.routine, "remakevibs");
        }
    }
}

// A massless dummy atom among the atoms: its coordinates carry no modes, and the modes that
// would live there only are written as zeros, never as NaN.
TEST(Remakevibs, DummyAtomGivesNoNaN) {
    std::mt19937 gen(8);
    Store s = molecule({8, 1, 1, 94}, {500.0, 900.0, 1600.0, 2000.0, 3700.0, 3800.0}, gen);
    substitute(s, 2, 2.0141);
    quietly(s);
    for (int m = 1; m <= 6; ++m) {
        EXPECT_TRUE(std::isfinite(s.vibs(m))) << "mode " << m;
        for (double x : mode(s, m)) {
            EXPECT_TRUE(std::isfinite(x)) << "mode " << m;
        }
    }
    EXPECT_EQ(s.vibvec(1, 4, 6), 0.0);
}

// The Hessian as the two dense products build it and the eigenvectors turned back into modes,
// step by step: remakevibs must give the same bits.
void expectsamebitsasthedenseproducts(const Store& s) {
    const long long n = 3 * s.nat;
    Vector lambda(std::size_t(n * n), 0.0), q(std::size_t(n * n), 0.0), t(std::size_t(n * n)),
        h(std::size_t(n * n));
    for (int m = 1; m <= s.nvib; ++m) {
        const double x = s.vibs(m) / wavenumber;
        lambda[std::size_t((m - 1) * (n + 1))] = x * x;
        double* qm = &q[std::size_t((m - 1) * n)];
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                qm[3 * (a - 1) + k - 1] = s.vibvec(k, a, m) * std::sqrt(defatmass(s.iat(a)));
            }
        }
        const double length = std::sqrt(vsdot2(n, qm, qm));
        for (long long c = 0; c < n; ++c) {
            qm[c] = qm[c] / length;
        }
    }
    mmulrt(lambda.data(), n, n, q.data(), n, n, "NO", t.data());
    mmulrr(q.data(), n, n, t.data(), n, n, "NO", h.data());
    for (int i = 1; i <= s.nisotp; ++i) {
        const int a = s.iisotp(i);
        const double f = std::sqrt(defatmass(s.iat(a))) / std::sqrt(s.risotp(i));
        for (long long c = 3 * (a - 1); c < 3 * a; ++c) {
            for (long long j = 0; j < n; ++j) {
                h[std::size_t(c + n * j)] *= f;
            }
            for (long long r = 0; r < n; ++r) {
                h[std::size_t(r + n * c)] *= f;
            }
        }
    }
    Vector d(static_cast<std::size_t>(n));
    diajac(h.data(), q.data(), d.data(), int(n));
    std::vector<double> root;
    for (int a = 1; a <= s.nat; ++a) {
        root.push_back(std::sqrt(defatmass(s.iat(a))));
    }

    Store r = s;
    quietly(r);
    // Ascending eigenvalues of a positive semi-definite matrix: the six nearest zero come first.
    for (int m = 1; m <= s.nvib; ++m) {
        const std::size_t j = std::size_t(m + 5);
        EXPECT_EQ(r.vibs(m), wavenumber * std::sqrt(std::abs(d[j])));
        Vector v;
        double sum = 0.0;
        for (int a = 1; a <= s.nat; ++a) {
            for (int k = 1; k <= 3; ++k) {
                v.push_back(q[j * std::size_t(n) + std::size_t(3 * (a - 1) + k - 1)] /
                            root[std::size_t(a - 1)]);
                sum += v.back() * v.back();
            }
        }
        for (double& x : v) {
            x *= 1.0 / std::sqrt(sum);
        }
        EXPECT_EQ(mode(r, m), v) << "mode " << m;
    }
}

TEST(Remakevibs, SameBitsAsTheDenseProducts) {
    std::mt19937 gen(6);
    Store s = molecule({6, 8, 1, 1, 7},
                       {100.0, 200.0, 300.0, 400.0, 500.0, 600.0, 700.0, 800.0, 900.0}, gen);
    substitute(s, 3, 2.0141);
    substitute(s, 5, 15.0001);
    expectsamebitsasthedenseproducts(s);

    // Larger: the Hessian is built a band of columns at a time, and the diagonalisation takes
    // a second thread.
    std::vector<int> elements;
    Vector freqs;
    for (int a = 0; a < 40; ++a) {
        elements.push_back(a % 3 == 0 ? 6 : a % 3 == 1 ? 1 : 8);
    }
    for (int m = 0; m < 3 * 40 - 6; ++m) {
        freqs.push_back(60.0 + 29.0 * m);
    }
    Store big = molecule(elements, freqs, gen);
    substitute(big, 2, 2.0141);
    substitute(big, 33, 17.9992);
    expectsamebitsasthedenseproducts(big);
}

} // namespace
