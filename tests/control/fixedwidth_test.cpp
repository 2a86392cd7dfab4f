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

// Every width, narrow ones included, as the rules of F say on to_chars' digits: right-aligned
// when the text fits, the zero before the point dropped when that alone makes it fit, else
// asterisks; appended after what the line holds.
TEST(FixedWidth, FFieldsOfEveryWidthFollowTheRules) {
    std::mt19937_64 rng(2025);
    auto rules = [](double x, int w, int d) {
        std::array<char, 400> buf;
        auto r = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, d);
        std::string text(buf.data(), r.ptr);
        if (d == 0) {
            text += '.';
        }
        if (text.size() <= std::size_t(w)) {
            return std::string(std::size_t(w) - text.size(), ' ') + text;
        }
        const std::size_t sign = text[0] == '-' ? 1 : 0;
        if (d > 0 && text.size() - 1 == std::size_t(w) && text.compare(sign, 2, "0.") == 0) {
            return text.substr(0, sign) + text.substr(sign + 1);
        }
        return std::string(std::size_t(w), '*');
    };
    for (int k = 0; k < 300000; ++k) {
        const int d = int(rng() % 19);
        const int w = 1 + int(rng() % 30);
        double x = 0.0;
        switch (rng() % 4) {
        case 0: // coordinates and energies
            x = (double(rng() % 2000001) - 1000000.0) / std::pow(10.0, int(rng() % 9));
            break;
        case 1: // ties at the last decimal
            x = (double(rng() % 20001) + 0.5) / std::pow(10.0, d);
            break;
        case 2: // values just below a power of ten, which round up to one more digit
            x = std::pow(10.0, int(rng() % 8)) * (1.0 - std::pow(10.0, -d - 1) * 0.5);
            break;
        default: // any bits
            x = std::ldexp(double(rng() >> 11), int(rng() % 100) - 90);
        }
        x = rng() % 2 == 0 ? x : -x;
        std::string line = "ab";
        fw::F(line, x, w, d);
        ASSERT_EQ(line, "ab" + rules(x, w, d)) << std::hexfloat << x << " F" << w << "." << d;
    }
}

} // namespace
