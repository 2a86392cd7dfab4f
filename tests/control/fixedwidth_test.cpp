// Every expected field below was written by gfortran 12 on this machine with the same edit
// descriptor.
#include "control/fixedwidth.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct FCase {
    double x;
    int w;
    int d;
    const char* want;
};

TEST(FixedWidth, FMatchesGfortran) {
    const double inf = std::numeric_limits<double>::infinity();
    const FCase cases[] = {
        {-0.0, 8, 3, "  -0.000"},
        {-0.0001, 8, 3, "  -0.000"},
        {0.4, 8, 0, "      0."},
        {-0.4, 8, 0, "     -0."},
        {1234.6, 8, 0, "   1235."},
        {2.0, 8, 0, "      2."},
        {0.5, 4, 3, ".500"},
        {-0.5, 5, 3, "-.500"},
        {-0.5, 4, 3, "****"},
        {0.5, 3, 2, ".50"},
        {0.5, 2, 1, ".5"},
        {0.4, 1, 0, "*"},
        {0.4, 2, 0, "0."},
        {-0.4, 2, 0, "**"},
        {0.125, 8, 2, "    0.12"},
        {0.375, 8, 2, "    0.38"},
        {10.5, 4, 2, "****"},
        {1e20, 10, 3, "**********"},
        {1e20, 30, 3, "     100000000000000000000.000"},
        {2.5e-6, 10, 5, "   0.00000"},
        {-2.5e-6, 10, 5, "  -0.00000"},
        {-5e-6, 10, 5, "  -0.00001"},
        {9.9996, 6, 3, "10.000"},
        {9.9996, 5, 3, "*****"},
        {0.9996, 4, 3, "****"},
        {-0.996, 4, 2, "****"},
        {std::nan(""), 8, 3, "     NaN"},
        {std::nan(""), 2, 3, "**"},
        {inf, 8, 3, "Infinity"},
        {inf, 3, 3, "Inf"},
        {-inf, 8, 3, "    -Inf"},
        {-inf, 9, 3, "-Infinity"},
        {-inf, 3, 3, "***"},
        {1.0078999996185303, 10, 4, "    1.0079"},
    };
    for (const FCase& c : cases) {
        EXPECT_EQ(fw::F(c.x, c.w, c.d), c.want) << "F" << c.w << "." << c.d << " of " << c.x;
    }
}

TEST(FixedWidth, IAndA) {
    EXPECT_EQ(fw::I(-100, 3), "***");
    EXPECT_EQ(fw::I(-99, 3), "-99");
    EXPECT_EQ(fw::I(7, 5), "    7");
    EXPECT_EQ(fw::I(12345678901LL, 10), "**********");
    EXPECT_EQ(fw::A("ab", 4), "  ab");
    EXPECT_EQ(fw::A("abcd", 2), "ab");
    EXPECT_EQ(fw::A("abcd", 4), "abcd");
}

TEST(FixedWidth, AppendsToALine) {
    std::string line = "x";
    fw::F(line, 1.5, 6, 2);
    fw::I(line, 3, 3);
    fw::A(line, "C", 2);
    EXPECT_EQ(line, "x  1.50  3 C");
}

// The digits of Fw.d are those of to_chars in fixed notation (which the gfortran comparison
// above vouches for): random values of every magnitude, exact ties at every decimal, integers,
// subnormals, negative zero and values next to where the formatter changes its method.
TEST(FixedWidth, FDigitsAreThoseOfToChars) {
    std::mt19937_64 rng(2024);
    auto reference = [](double x, int w, int d) {
        std::array<char, 400> buf;
        auto r = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, d);
        std::string text(buf.data(), r.ptr);
        if (d == 0) {
            text += '.';
        }
        return std::string(std::size_t(w) - std::min(text.size(), std::size_t(w)), ' ') + text;
    };
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.5,
                                  1.5,
                                  2.5,
                                  -2.5,
                                  0.125,
                                  0.375,
                                  1e-320,
                                  -5e-324,
                                  9e18,
                                  8.99e17,
                                  4503599627370496.5,
                                  9007199254740993.0};
    for (int k = 0; k < 200000; ++k) {
        const unsigned kind = unsigned(rng() % 4);
        double x = 0.0;
        if (kind == 0) { // any bits, within the magnitudes writers meet
            x = std::ldexp(double(rng() >> 11), int(rng() % 120) - 110);
        } else if (kind == 1) { // a tie at some decimal: an odd multiple of half a unit there
            const int d = int(rng() % 12);
            x = (double(rng() % 2000001) + 0.5) / std::pow(10.0, d);
        } else if (kind == 2) { // short binary fractions, ties of every kind
            x = double(std::int64_t(rng() % 200001) - 100000) / double(1 << (rng() % 20));
        } else { // near the end of the exact range for d decimals
            x = 9e18 / std::pow(10.0, int(rng() % 19)) *
                (1.0 + (double(rng() % 2001) - 1000) * 1e-15);
        }
        values.push_back(rng() % 2 == 0 ? x : -x);
    }
    for (const double x : values) {
        for (int d = 0; d <= 20; ++d) {
            const int w = 45;
            ASSERT_EQ(fw::F(x, w, d), reference(x, w, d)) << std::hexfloat << x << " d " << d;
        }
    }
}

} // namespace
