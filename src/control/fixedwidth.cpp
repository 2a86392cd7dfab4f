// The one place where numbers become fixed-width text.
#include "control/fixedwidth.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace fw {

namespace {

void stars(std::string& out, int w) {
    out.append(std::size_t(w), '*');
}

void right(std::string& out, std::string_view text, int w) {
    out.append(std::size_t(w) - text.size(), ' ');
    out.append(text);
}

// gfortran's spelling of infinities and NaN: "Infinity" where it fits, else "Inf"; a negative
// infinity needs room for its sign.
void nonfinite(std::string& out, double x, int w) {
    if (std::isnan(x)) {
        if (w < 3) {
            stars(out, w);
        } else {
            right(out, "NaN", w);
        }
        return;
    }
    const bool negative = std::signbit(x);
    if (w < 3 || (negative && w == 3)) {
        stars(out, w);
        return;
    }
    if (negative) {
        right(out, w > 8 ? "-Infinity" : "-Inf", w);
    } else {
        right(out, w > 7 ? "Infinity" : "Inf", w);
    }
}

// GCC's and Clang's 128-bit unsigned integers, for the exact product below.
__extension__ using Wide = unsigned __int128;

constexpr std::array<std::uint64_t, 19> powers10 = {1,
                                                    10,
                                                    100,
                                                    1000,
                                                    10000,
                                                    100000,
                                                    1000000,
                                                    10000000,
                                                    100000000,
                                                    1000000000,
                                                    10000000000,
                                                    100000000000,
                                                    1000000000000,
                                                    10000000000000,
                                                    100000000000000,
                                                    1000000000000000,
                                                    10000000000000000,
                                                    100000000000000000,
                                                    1000000000000000000};

// 9e18 / 10^d, the bound of the values below, worked out once.
constexpr std::array<double, 19> scaledlimits = [] {
    std::array<double, 19> limits{};
    for (std::size_t d = 0; d < limits.size(); ++d) {
        limits[d] = 9.0e18 / double(powers10[d]);
    }
    return limits;
}();

// The integer nearest to x 10^d (ties to even), which holds the digits to_chars writes for x
// with d decimals (the exact binary value rounded to nearest, ties to even), for the values
// writers meet: |x| 10^d well below 2^63. With x = m 2^e it is the integer nearest to
// m 10^d 2^e, worked out exactly in 128 bits. False for other values.
bool scaleddigits(double x, int d, std::uint64_t& n) {
    if (d >= int(powers10.size()) || !(std::abs(x) < scaledlimits[std::size_t(d)])) {
        return false;
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t field = (bits >> 52) & 0x7ff;
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const std::uint64_t m = field == 0 ? fraction : fraction | (std::uint64_t(1) << 52);
    const int e = field == 0 ? -1074 : int(field) - 1075;
    const Wide p = Wide(m) * powers10[std::size_t(d)];
    n = 0;
    if (e >= 0) {
        n = std::uint64_t(p) << e; // below 2^63 by the range test
    } else if (-e < 128) {
        // Quotient and remainder of 2^s, the remainder compared with half of 2^s.
        const int s = -e;
        const auto q = std::uint64_t(p >> s);
        const Wide rem = p & ((Wide(1) << s) - 1);
        const Wide half = Wide(1) << (s - 1);
        n = q + ((rem > half || (rem == half && (q & 1) != 0)) ? 1 : 0);
    }
    return true;
}

// "00" to "99".
constexpr std::array<char, 200> digitpairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t k = 0; k < 100; ++k) {
        pairs[2 * k] = char('0' + k / 10);
        pairs[2 * k + 1] = char('0' + k % 10);
    }
    return pairs;
}();

// The text of a value whose digits n (x 10^d rounded) scaleddigits found, written right to left
// so that it ends just before `end`; returns where it starts.
char* scaledtext(char* end, bool negative, std::uint64_t n, int d) {
    char* p = end;
    if (d == 0) {
        *--p = '.';
    }
    // Two digits at a time where they can.
    int k = 0;
    for (; k + 2 <= d; k += 2) {
        const auto pair = std::size_t(n % 100) * 2;
        n /= 100;
        *--p = digitpairs[pair + 1];
        *--p = digitpairs[pair];
    }
    if (k < d) {
        *--p = char('0' + n % 10);
        n /= 10;
    }
    if (d > 0) {
        *--p = '.';
    }
    // At least one digit before the point.
    while (n >= 100) {
        const auto pair = std::size_t(n % 100) * 2;
        n /= 100;
        *--p = digitpairs[pair + 1];
        *--p = digitpairs[pair];
    }
    if (n >= 10) {
        *--p = digitpairs[std::size_t(n) * 2 + 1];
        *--p = digitpairs[std::size_t(n) * 2];
    } else {
        *--p = char('0' + n);
    }
    if (negative) {
        *--p = '-';
    }
    return p;
}

// The field of such a value: the same text the general way below makes from to_chars, without
// its copies.
void scaledfield(std::string& out, bool negative, std::uint64_t n, int w, int d) {
    // Up to 19 whole digits, point, 18 decimals and sign, or the blanks before them.
    constexpr int room = 64;
    std::array<char, room> buf;
    char* const end = buf.data() + room;
    char* const p = scaledtext(end, negative, n, d);
    const auto length = int(end - p);
    if (length <= w && w <= room) {
        std::fill(end - w, p, ' ');
        out.append(end - w, std::size_t(w));
        return;
    }
    if (length <= w) {
        out.append(std::size_t(w - length), ' ');
        out.append(p, std::size_t(length));
        return;
    }
    // The zero before the point is dropped only when that alone makes the value fit.
    const int sign = negative ? 1 : 0;
    if (d > 0 && length - 1 == w && p[sign] == '0' && p[sign + 1] == '.') {
        out.append(p, std::size_t(sign));
        out.append(p + sign + 1, std::size_t(length - sign - 1));
        return;
    }
    stars(out, w);
}

} // namespace

void F(std::string& out, double x, int w, int d) {
    assert(w >= 1 && d >= 0 && d <= 40);
    if (!std::isfinite(x)) {
        nonfinite(out, x, w);
        return;
    }
    // to_chars rounds the exact binary value to nearest, ties to even, like gfortran, and keeps
    // the minus sign of a negative value that rounds to zero. The usual values take a shorter
    // way to the same digits.
    std::uint64_t n = 0;
    if (scaleddigits(x, d, n)) {
        scaledfield(out, std::signbit(x), n, w, d);
        return;
    }
    std::array<char, 400> buf;
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, d);
    assert(r.ec == std::errc());
    std::string_view text(buf.data(), std::size_t(r.ptr - buf.data()));
    std::string withpoint;
    if (d == 0) {
        withpoint.assign(text).push_back('.');
        text = withpoint;
    }
    if (text.size() <= std::size_t(w)) {
        right(out, text, w);
        return;
    }
    // The zero before the point is dropped only when that alone makes the value fit, and only
    // when digits follow the point.
    const std::size_t sign = text.front() == '-' ? 1 : 0;
    if (d > 0 && text.size() - 1 == std::size_t(w) && text.substr(sign, 2) == "0.") {
        out.append(text.substr(0, sign));
        out.append(text.substr(sign + 1));
        return;
    }
    stars(out, w);
}

void I(std::string& out, long long n, int w) {
    assert(w >= 1);
    std::array<char, 24> buf;
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), n);
    assert(ec == std::errc());
    const std::string_view text(buf.data(), std::size_t(end - buf.data()));
    if (text.size() > std::size_t(w)) {
        stars(out, w);
    } else {
        right(out, text, w);
    }
}

void A(std::string& out, std::string_view s, int w) {
    assert(w >= 0);
    if (s.size() >= std::size_t(w)) {
        out.append(s.substr(0, std::size_t(w)));
    } else {
        right(out, s, w);
    }
}

std::string F(double x, int w, int d) {
    std::string s;
    F(s, x, w, d);
    return s;
}

std::string I(long long n, int w) {
    std::string s;
    I(s, n, w);
    return s;
}

std::string A(std::string_view s, int w) {
    std::string r;
    A(r, s, w);
    return r;
}

} // namespace fw
