// The field reader against its rules written out plainly, on random lines built from the pieces
// that make fields hard: signs, points, exponents, quotes, separators, long fields, too many
// fields.
#include "control/freeread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct Plain {
    std::vector<long long> integers;
    std::vector<double> reals;
    std::vector<std::string> strings; // as kept: at most 80 characters, no trailing blanks
    std::vector<int> lengths;
    std::vector<FieldRef> order;
};

bool digit(char c) {
    return c >= '0' && c <= '9';
}

// A real as list-directed input reads it: sign, digits around one point, an exponent with a
// letter E, D or Q or a bare sign, then nothing but ";" or "/".
bool plainreal(const std::string& f, double& value) {
    std::string normal;
    std::size_t p = 0;
    if (p < f.size() && (f[p] == '+' || f[p] == '-')) {
        if (f[p] == '-') {
            normal += '-';
        }
        ++p;
    }
    int digits = 0, intdigits = 0, firstnonzero = -1;
    for (; p < f.size() && digit(f[p]); ++p, ++digits, ++intdigits) {
        if (firstnonzero < 0 && f[p] != '0') {
            firstnonzero = digits;
        }
        normal += f[p];
    }
    if (p == f.size() || f[p] != '.') {
        return false;
    }
    normal += f[p++];
    for (; p < f.size() && digit(f[p]); ++p, ++digits) {
        if (firstnonzero < 0 && f[p] != '0') {
            firstnonzero = digits;
        }
        normal += f[p];
    }
    if (digits == 0) {
        return false;
    }
    long long exponent = 0;
    if (p < f.size() && std::strchr("eEdDqQ+-", f[p]) != nullptr) {
        std::size_t q = std::strchr("+-", f[p]) != nullptr ? p : p + 1;
        bool negative = false;
        if (q < f.size() && (f[q] == '+' || f[q] == '-')) {
            negative = f[q++] == '-';
        }
        const std::size_t from = q;
        for (; q < f.size() && digit(f[q]); ++q) {
            if (exponent < 100000) {
                exponent = exponent * 10 + (f[q] - '0');
            }
        }
        if (q == from) {
            return false;
        }
        exponent = negative ? -exponent : exponent;
        normal += 'e';
        normal += std::to_string(exponent);
        p = q;
    }
    if (p < f.size() && f[p] != ';' && f[p] != '/') {
        return false;
    }
    auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range) {
        const long long magnitude = firstnonzero < 0 ? -1 : intdigits - firstnonzero + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        value = normal[0] == '-' ? -value : value;
        return true;
    }
    return ec == std::errc() && ptr == normal.data() + normal.size();
}

Plain plain(const std::string& line) {
    Plain r;
    auto room = [&](std::size_t n) { return n < 40 && r.order.size() < 120; };
    auto string = [&](const std::string& s) {
        if (room(r.strings.size())) {
            std::string kept = s.substr(0, 80);
            kept.erase(kept.find_last_not_of(' ') + 1);
            r.strings.push_back(kept);
            r.lengths.push_back(int(s.size()));
            r.order.push_back({FieldKind::string, int(r.strings.size())});
        }
    };
    auto sep = [](char c) { return static_cast<unsigned char>(c) < 33 || c == ',' || c == '='; };
    std::size_t p = 0;
    while (p < line.size()) {
        const char c = line[p];
        if (sep(c)) {
            if (c == '=' && r.order.size() < 120) {
                r.order.push_back({FieldKind::equals, 0});
            }
            ++p;
        } else if (c == '"' || c == '\'') {
            const std::size_t close = line.find(c, p + 1);
            string(line.substr(p + 1, (close == std::string::npos ? line.size() : close) - p - 1));
            p = close == std::string::npos ? line.size() : close + 1;
        } else {
            std::size_t e = p;
            while (e < line.size() && !sep(line[e])) {
                ++e;
            }
            const std::string f = line.substr(p, e - p);
            p = e;
            const bool integer = f.find_first_not_of("+-0123456789") == std::string::npos;
            const std::size_t dot = f.find('.');
            const bool realshape =
                std::count(f.begin(), f.end(), '.') == 1 &&
                f.substr(0, dot).find_first_not_of("+-0123456789") == std::string::npos && f != ".";
            long long iv = 0;
            double rv = 0.0;
            if (integer) {
                // One optional sign, digits only, within the range of 64 bits.
                const std::size_t digits = f[0] == '+' || f[0] == '-' ? 1 : 0;
                bool ok = digits < f.size() &&
                          f.find_first_not_of("0123456789", digits) == std::string::npos;
                if (ok) {
                    const char* end = f.data() + f.size();
                    auto [ptr, ec] = std::from_chars(f.data() + (f[0] == '+' ? 1 : 0), end, iv);
                    ok = ec == std::errc() && ptr == end;
                }
                if (ok && room(r.integers.size())) {
                    r.integers.push_back(iv);
                    r.order.push_back({FieldKind::integer, int(r.integers.size())});
                } else if (!ok) {
                    string(f);
                }
            } else if (realshape && plainreal(f, rv)) {
                if (room(r.reals.size())) {
                    r.reals.push_back(rv);
                    r.order.push_back({FieldKind::real, int(r.reals.size())});
                }
                if (f.find_first_not_of("+-.0123456789") != std::string::npos) {
                    string(f);
                }
            } else {
                string(f);
            }
        }
    }
    return r;
}

TEST(Freerd, SameAsItsRulesOnRandomLines) {
    std::mt19937 rng(99);
    const std::vector<std::string> pieces = {
        " ",
        "  ",
        "\t",
        ",",
        "=",
        "1",
        "-",
        "+",
        ".",
        "0",
        "12",
        "3.5",
        "E",
        "d",
        "q",
        "e-3",
        "1.0D+2",
        "'",
        "\"",
        "a",
        "C",
        "ab'cd",
        "1e5",
        ";",
        "/",
        "x",
        "1.",
        ".5",
        "+.5",
        "-7",
        "5-",
        "..",
        "1.2.3",
        "\x01",
        "\xe9",
        "9223372036854775807",
        "9223372036854775808",
        "-9223372036854775808",
        "1.0e999",
        "1.0e-999",
        "0.000e999",
        std::string(90, 'z'),
    };
    for (int trial = 0; trial < 100000; ++trial) {
        std::string line;
        const int n = int(rng() % (trial % 50 == 0 ? 400 : 14));
        for (int k = 0; k < n; ++k) {
            line += pieces[rng() % pieces.size()];
        }
        const FreeRead f = freerd(line);
        const Plain want = plain(line);
        ASSERT_EQ(f.nfndi, int(want.integers.size())) << line;
        ASSERT_EQ(f.nfndr, int(want.reals.size())) << line;
        ASSERT_EQ(f.nfnds, int(want.strings.size())) << line;
        ASSERT_EQ(f.nfndt, int(want.order.size())) << line;
        for (int i = 1; i <= f.nfndi; ++i) {
            ASSERT_EQ(f.fndintegers(i), want.integers[std::size_t(i - 1)]) << line;
        }
        for (int i = 1; i <= f.nfndr; ++i) {
            const double got = f.fndreals(i);
            const double expected = want.reals[std::size_t(i - 1)];
            ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << line;
        }
        for (int i = 1; i <= f.nfnds; ++i) {
            ASSERT_EQ(f.fndstrings(i), want.strings[std::size_t(i - 1)]) << line;
            ASSERT_EQ(f.fndlength(i), want.lengths[std::size_t(i - 1)]) << line;
        }
        for (int i = 1; i <= f.nfndt; ++i) {
            ASSERT_EQ(f.fndorder(i).kind, want.order[std::size_t(i - 1)].kind) << line;
            ASSERT_EQ(f.fndorder(i).index, want.order[std::size_t(i - 1)].index) << line;
        }
        // Read only as far as the first few reals: the same first reals.
        const int first = int(rng() % 5);
        const FreeRead part = freerd(line, first);
        ASSERT_EQ(part.nfndr, std::min(first, f.nfndr)) << line;
        for (int i = 1; i <= part.nfndr; ++i) {
            const double got = part.fndreals(i);
            const double expected = f.fndreals(i);
            ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << line;
        }
    }
}

// Plain decimals, the fields of coordinate tables, bit for bit as from_chars reads them, and
// integers of as many digits: every count of digits and decimals around where the reader changes
// its method, leading zeros, signs, and the separators that may end a real.
TEST(Freerd, PlainDecimalsAsFromChars) {
    std::mt19937_64 rng(7);
    for (int trial = 0; trial < 300000; ++trial) {
        const int whole = int(rng() % 12);
        const int decimals = int(rng() % (trial % 3 == 0 ? 26 : 10));
        // As from_chars reads it: no plus sign.
        std::string normal;
        const unsigned sign = unsigned(rng() % 4);
        if (sign == 3) {
            normal += '-';
        }
        const int digits = std::max(whole + decimals, 1);
        for (int k = 0; k < digits; ++k) {
            if (k == whole) {
                normal += '.';
            }
            // Runs of zeros and nines as well as any digit.
            const unsigned pick = unsigned(rng() % 12);
            normal += pick == 10 ? '0' : pick == 11 ? '9' : char('0' + pick);
        }
        if (whole >= digits) {
            normal += '.';
        }
        std::string line = "x ";
        if (sign == 2) {
            line += '+';
        }
        line += normal;
        line += " ;/"[rng() % 3];
        line += " 7";
        // An integer field of as many digits, which must be read exactly or be a string.
        std::string integer = normal;
        std::erase(integer, '.');
        line += ' ';
        line += integer;
        const FreeRead f = freerd(line);
        long long wantinteger = 0;
        const auto [end, ec] =
            std::from_chars(integer.data(), integer.data() + integer.size(), wantinteger);
        if (ec == std::errc()) {
            ASSERT_EQ(f.nfndi, 2) << line;
            ASSERT_EQ(f.fndintegers(2), wantinteger) << line;
        } else {
            ASSERT_EQ(f.nfndi, 1) << line;
            ASSERT_EQ(f.fndstrings(f.nfnds), integer) << line;
        }
        ASSERT_EQ(f.nfndr, 1) << line;
        double want = 0.0;
        std::from_chars(normal.data(), normal.data() + normal.size(), want);
        const double got = f.fndreals(1);
        ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << line;
    }
}

} // namespace
