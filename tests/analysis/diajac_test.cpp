#include "analysis/analysis.h"
#include "control/control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

namespace {

using Matrix = std::vector<double>; // column-major, n x n

Matrix randomsymmetric(int n, std::mt19937& gen) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const std::size_t nn = std::size_t(n);
    Matrix a(nn * nn);
    for (std::size_t j = 0; j < nn; ++j) {
        for (std::size_t i = 0; i <= j; ++i) {
            a[i + nn * j] = a[j + nn * i] = u(gen);
        }
    }
    return a;
}

struct Eigen {
    Matrix v;
    std::vector<double> d;
};

Eigen solve(Matrix a, int n) {
    Eigen e{Matrix(a.size()), std::vector<double>(std::size_t(n))};
    diajac(a.data(), e.v.data(), e.d.data(), n);
    return e;
}

// The method as written for the upper triangle alone, rows p and q of it included: the
// symmetric-storage version must give the same bits.
Eigen upperonly(Matrix a, int n) {
    const std::size_t nn = std::size_t(n);
    auto A = [&](std::size_t i, std::size_t j) -> double& { return a[i + nn * j]; };
    Eigen e{Matrix(nn * nn, 0.0), std::vector<double>(nn)};
    std::vector<double> b(nn), z(nn, 0.0);
    for (std::size_t p = 0; p < nn; ++p) {
        e.v[p + nn * p] = 1.0;
        e.d[p] = b[p] = A(p, p);
    }
    auto rotate = [](double& x, double& y, double s, double tau) {
        const double ox = x, oy = y;
        x = ox - s * (oy + ox * tau);
        y = oy + s * (ox - oy * tau);
    };
    std::vector<double>& d = e.d;
    for (int i = 1; i <= 50; ++i) {
        double sm = 0.0;
        for (std::size_t p = 0; p + 1 < nn; ++p) {
            for (std::size_t q = p + 1; q < nn; ++q) {
                sm += std::abs(A(p, q));
            }
        }
        if (sm == 0.0) {
            break;
        }
        const double t = i <= 3 ? 0.20000000298023224 * sm / double(nn * nn) : 0.0;
        for (std::size_t p = 0; p + 1 < nn; ++p) {
            for (std::size_t q = p + 1; q < nn; ++q) {
                const double g = 100.0 * std::abs(A(p, q));
                if (i > 4 && std::abs(d[p]) + g == std::abs(d[p]) &&
                    std::abs(d[q]) + g == std::abs(d[q])) {
                    A(p, q) = 0.0;
                } else if (std::abs(A(p, q)) > t) {
                    double h = d[q] - d[p];
                    double tn;
                    if (std::abs(h) + g == std::abs(h)) {
                        tn = A(p, q) / h;
                    } else {
                        const double th = 0.5 * h / A(p, q);
                        tn = 1.0 / (std::abs(th) + std::sqrt(1.0 + th * th));
                        tn = th < 0.0 ? -tn : tn;
                    }
                    const double c = 1.0 / std::sqrt(1.0 + tn * tn);
                    const double s = tn * c;
                    const double tau = s / (1.0 + c);
                    h = tn * A(p, q);
                    z[p] -= h;
                    z[q] += h;
                    d[p] -= h;
                    d[q] += h;
                    A(p, q) = 0.0;
                    for (std::size_t r = 0; r < p; ++r) {
                        rotate(A(r, p), A(r, q), s, tau);
                    }
                    for (std::size_t r = p + 1; r < q; ++r) {
                        rotate(A(p, r), A(r, q), s, tau);
                    }
                    for (std::size_t r = q + 1; r < nn; ++r) {
                        rotate(A(p, r), A(q, r), s, tau);
                    }
                    for (std::size_t r = 0; r < nn; ++r) {
                        rotate(e.v[r + nn * p], e.v[r + nn * q], s, tau);
                    }
                }
            }
        }
        for (std::size_t p = 0; p < nn; ++p) {
            b[p] += z[p];
            d[p] = b[p];
            z[p] = 0.0;
        }
    }
    for (std::size_t p = 0; p + 1 < nn; ++p) {
        std::size_t k = p;
        for (std::size_t j = p + 1; j < nn; ++j) {
            k = d[j] <= d[k] ? j : k;
        }
        if (k != p) {
            std::swap(d[k], d[p]);
            for (std::size_t r = 0; r < nn; ++r) {
                std::swap(e.v[r + nn * p], e.v[r + nn * k]);
            }
        }
    }
    return e;
}

// Every bit of the eigenvalues and eigenvectors as the upper-triangle method gives them.
testing::AssertionResult samebitsasupperonly(const Matrix& a, int n) {
    const Eigen mine = solve(a, n);
    const Eigen reference = upperonly(a, n);
    if (mine.d != reference.d) {
        return testing::AssertionFailure() << "the eigenvalues differ";
    }
    if (mine.v != reference.v) {
        return testing::AssertionFailure() << "the eigenvectors differ";
    }
    return testing::AssertionSuccess();
}

TEST(Diajac, DiagonalMatrixIsSortedWithoutRotations) {
    struct Case {
        std::vector<double> diagonal;
        std::vector<double> sorted;
        std::vector<int> column; // which unit vector each eigenvector is
    };
    std::vector<Case> cases{
        {{3.0, 1.0, 2.0}, {1.0, 2.0, 3.0}, {1, 2, 0}},
        // Equal values: the later one moves to the earlier position.
        {{2.0, 1.0, 1.0}, {1.0, 1.0, 2.0}, {2, 1, 0}},
        {{5.0, 5.0}, {5.0, 5.0}, {1, 0}},
        {{-1.0, 0.0, 4.0}, {-1.0, 0.0, 4.0}, {0, 1, 2}},
    };
    // Large enough for the second thread, which then gets nothing to do.
    Case descending;
    for (int i = 0; i < 200; ++i) {
        descending.diagonal.push_back(200.0 - i);
        descending.sorted.push_back(1.0 + i);
        descending.column.push_back(199 - i);
    }
    cases.push_back(descending);
    for (const Case& c : cases) {
        const int n = int(c.diagonal.size());
        Matrix a(std::size_t(n * n), 0.0);
        for (int i = 0; i < n; ++i) {
            a[std::size_t(i + n * i)] = c.diagonal[std::size_t(i)];
        }
        Matrix before = a;
        Eigen e{Matrix(a.size()), std::vector<double>(std::size_t(n))};
        diajac(a.data(), e.v.data(), e.d.data(), n);
        EXPECT_EQ(a, before);
        EXPECT_EQ(e.d, c.sorted);
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                EXPECT_EQ(e.v[std::size_t(i + n * j)], i == c.column[std::size_t(j)] ? 1.0 : 0.0)
                    << "V(" << i + 1 << ", " << j + 1 << ")";
            }
        }
    }
}

TEST(Diajac, RandomSymmetricMatricesAreDiagonalised) {
    std::mt19937 gen(20240611);
    for (int n = 3; n <= 60; ++n) {
        SCOPED_TRACE(n);
        const Matrix a = randomsymmetric(n, gen);
        const Eigen e = solve(a, n);
        const std::size_t nn = std::size_t(n);
        double scale = 0.0;
        for (double x : a) {
            scale = std::max(scale, std::abs(x));
        }
        EXPECT_TRUE(std::is_sorted(e.d.begin(), e.d.end()));
        for (std::size_t j = 0; j < nn; ++j) {
            for (std::size_t i = 0; i < nn; ++i) {
                double av = 0.0;
                for (std::size_t k = 0; k < nn; ++k) {
                    av += a[i + nn * k] * e.v[k + nn * j];
                }
                ASSERT_NEAR(av, e.d[j] * e.v[i + nn * j], 1e-10 * scale) << i << ", " << j;
            }
            double norm = 0.0;
            for (std::size_t i = 0; i < nn; ++i) {
                norm += e.v[i + nn * j] * e.v[i + nn * j];
            }
            EXPECT_NEAR(norm, 1.0, 1e-12);
        }
    }
}

TEST(Diajac, SameBitsAsTheUpperTriangleMethod) {
    std::mt19937 gen(7);
    for (int n : {2, 3, 7, 16, 33, 70, 131}) {
        SCOPED_TRACE(n);
        Matrix a = randomsymmetric(n, gen);
        // Degenerate eigenvalues too: a matrix with a repeated eigenvalue mixes columns freely.
        if (n == 7) {
            for (std::size_t i = 0; i < a.size(); ++i) {
                a[i] = i % std::size_t(n + 1) == 0 ? 2.0 : 0.0;
            }
            a[1] = a[std::size_t(n)] = 0.5;
        }
        EXPECT_TRUE(samebitsasupperonly(a, n));
    }
}

// The rotations run in blocks of eight columns, over tiles of rows, and partly on a second
// thread from order 96 on: orders around those edges, random orders, a larger order where the
// two threads overlap for long, and matrices with many exact zeros, where whole blocks or single
// columns of a block go without rotation.
TEST(Diajac, SameBitsAsTheUpperTriangleMethodAtBlockAndThreadEdges) {
    std::mt19937 gen(20261207);
    std::vector<int> orders{1, 4, 8, 9, 15, 17, 24, 25, 64, 73, 95, 96, 97, 104, 161, 300, 420};
    std::uniform_int_distribution<int> order(2, 140);
    for (int k = 0; k < 8; ++k) {
        orders.push_back(order(gen));
    }
    std::bernoulli_distribution zero(0.7);
    for (int n : orders) {
        for (bool sparse : {false, true}) {
            SCOPED_TRACE(testing::Message() << "n = " << n << (sparse ? ", sparse" : ""));
            Matrix a = randomsymmetric(n, gen);
            if (sparse) {
                const std::size_t nn = std::size_t(n);
                for (std::size_t j = 0; j < nn; ++j) {
                    for (std::size_t i = 0; i < j; ++i) {
                        if (zero(gen)) {
                            a[i + nn * j] = a[j + nn * i] = 0.0;
                        }
                    }
                }
            }
            ASSERT_TRUE(samebitsasupperonly(a, n));
        }
    }
}

// Degenerate eigenvalues (every rotation angle from an exact tie), a matrix so small in scale
// that its off-diagonal entries become subnormal numbers as they shrink, and small integers, at
// orders where the second thread works: every path must treat every value as the plain one does.
TEST(Diajac, SameBitsAsTheUpperTriangleMethodOnSpecialValues) {
    std::mt19937 gen(99);
    for (int n : {100, 150}) {
        const std::size_t nn = std::size_t(n);
        Matrix ones(nn * nn, 1.0);
        Matrix tiny = randomsymmetric(n, gen);
        for (double& x : tiny) {
            x = std::ldexp(x, -1000);
        }
        Matrix integers(nn * nn);
        std::uniform_int_distribution<int> small(-3, 3);
        for (std::size_t j = 0; j < nn; ++j) {
            for (std::size_t i = 0; i <= j; ++i) {
                integers[i + nn * j] = integers[j + nn * i] = double(small(gen));
            }
        }
        for (const Matrix* a : {&ones, &tiny, &integers}) {
            SCOPED_TRACE(testing::Message() << "n = " << n << ", matrix " << a - &ones);
            ASSERT_TRUE(samebitsasupperonly(*a, n));
        }
    }
}

// Several runs at once, as threads of one process, each with its own second thread: no state is
// shared between calls.
TEST(Diajac, CallsAtTheSameTimeGiveTheSameBits) {
    std::mt19937 gen(5);
    std::vector<Matrix> matrices;
    for (int k = 0; k < 3; ++k) {
        matrices.push_back(randomsymmetric(140, gen));
    }
    std::vector<Eigen> alone;
    for (const Matrix& a : matrices) {
        alone.push_back(solve(a, 140));
    }
    std::vector<Eigen> together(matrices.size());
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < matrices.size(); ++k) {
        threads.emplace_back([&, k] { together[k] = solve(matrices[k], 140); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    for (std::size_t k = 0; k < matrices.size(); ++k) {
        EXPECT_EQ(together[k].d, alone[k].d);
        EXPECT_EQ(together[k].v, alone[k].v);
    }
}

TEST(Diajac, LowerTriangleIsNotRead) {
    std::mt19937 gen(11);
    const int n = 9;
    const Matrix a = randomsymmetric(n, gen);
    Matrix garbled = a;
    for (std::size_t j = 0; j < 9; ++j) {
        for (std::size_t i = j + 1; i < 9; ++i) {
            garbled[i + 9 * j] = 1e6;
        }
    }
    const Eigen e = solve(a, n);
    const Eigen g = solve(garbled, n);
    EXPECT_EQ(e.d, g.d);
    EXPECT_EQ(e.v, g.v);
}

// Also where the second thread is at work: it is ended before the run stops.
TEST(Diajac, NoConvergenceEndsTheRun) {
    std::mt19937 gen(3);
    for (int n : {2, 120}) {
        SCOPED_TRACE(n);
        Matrix a = randomsymmetric(n, gen);
        a[std::size_t(n)] = NAN;
        Matrix v(a.size());
        std::vector<double> d(static_cast<std::size_t>(n));
        try {
            diajac(a.data(), v.data(), d.data(), n);
            ADD_FAILURE() << "no stop";
        } catch (const RunError& e) {
            EXPECT_STREQ(e.what(), "50 iterations in jacobi should never happen");
            EXPECT_EQ(e.routine, "remakevibs");
            EXPECT_FALSE(e.plain);
        }
    }
}

} // namespace
