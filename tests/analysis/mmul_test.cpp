#include "analysis/analysis.h"
#include "control/control.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

TEST(Products, DotProduct) {
    const std::array<double, 4> x{1.0, 2.0, 3.0, 4.0};
    const std::array<double, 4> y{0.5, -1.0, 2.0, 0.25};
    EXPECT_EQ(vsdot2(4, x.data(), y.data()), 5.5);
    EXPECT_EQ(vsdot2(0, x.data(), y.data()), 0.0);
    EXPECT_EQ(vsdot2(-3, x.data(), y.data()), 0.0);
    // Summed in index order from 0: 1e16 + 1 - 1e16 loses the 1.
    const std::array<double, 3> big{1e16, 1.0, -1e16};
    const std::array<double, 3> ones{1.0, 1.0, 1.0};
    EXPECT_EQ(vsdot2(3, big.data(), ones.data()), 0.0);
}

TEST(Products, RowTimesMatrixAndMatrixTimesTranspose) {
    // Column-major: B(k, j) at k + 3 j.
    const std::array<double, 3> row{1.0, 2.0, 3.0};
    const std::array<double, 9> b{1.0, 4.0, 7.0, 2.0, 5.0, 8.0, 3.0, 6.0, 10.0};
    std::array<double, 3> c{};
    mmulrr(row.data(), 1, 3, b.data(), 3, 3, "NO", c.data());
    EXPECT_EQ(c, (std::array<double, 3>{30.0, 36.0, 45.0}));

    // A 2 x 3 times B^T with B 2 x 3: C(i, j) = row i of A . row j of B.
    const std::array<double, 6> a{1.0, 4.0, 2.0, 5.0, 3.0, 6.0};  // rows (1 2 3), (4 5 6)
    const std::array<double, 6> bt{1.0, 0.0, 0.0, 1.0, 1.0, 2.0}; // rows (1 0 1), (0 1 2)
    std::array<double, 4> d{};
    mmulrt(a.data(), 2, 3, bt.data(), 2, 3, "NO", d.data());
    EXPECT_EQ(d, (std::array<double, 4>{4.0, 10.0, 8.0, 17.0}));
}

TEST(Products, SizeMismatchIsAPlainStop) {
    const std::array<double, 4> m{};
    std::array<double, 4> c{};
    struct Case {
        bool transposed;
        long long ra, ca, rb, cb;
        std::string message;
    };
    const Case cases[] = {
        {false, 1, 3, 2, 2, "Wrong input sizes for mmulrr"},
        {true, 1, 3, 2, 2, "Wrong input sizes for mmulrt"},
        {false, 0, 3, 2, 0, "Wrong input sizes for mmulrr"}, // checked before the empty result
    };
    for (const Case& t : cases) {
        try {
            if (t.transposed) {
                mmulrt(m.data(), t.ra, t.ca, m.data(), t.rb, t.cb, "NO", c.data());
            } else {
                mmulrr(m.data(), t.ra, t.ca, m.data(), t.rb, t.cb, "NO", c.data());
            }
            ADD_FAILURE() << "no stop for " << t.message;
        } catch (const RunError& e) {
            EXPECT_TRUE(e.plain);
            EXPECT_EQ(std::string(e.what()), t.message);
        }
    }
}

} // namespace
