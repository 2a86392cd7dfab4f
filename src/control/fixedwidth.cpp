// The one place where numbers become fixed-width text.
#include "control/fixedwidth.h"

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

// A 128-bit unsigned number as two halves.
struct Wide {
    std::uint64_t hi, lo;
};

Wide multiply(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a0 = a & 0xffffffffu, a1 = a >> 32;
    const std::uint64_t b0 = b & 0xffffffffu, b1 = b >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t middle = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xffffffffu)};
}

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

// x written with d decimals as to_chars writes it (the exact binary value rounded to nearest,
// ties to even, the sign of a negative value kept even when it rounds to zero), for the values
// writers meet: |x| 10^d well below 2^63. With x = m 2^e the digits are the integer nearest
// to m 10^d 2^e, worked out exactly in 128 bits. False for other values.
bool fixeddigits(double x, int d, char* buf, char*& end) {
    if (d >= int(powers10.size()) || !(std::abs(x) < 9.0e18 / double(powers10[std::size_t(d)]))) {
        return false;
    }
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t field = (bits >> 52) & 0x7ff;
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
    const std::uint64_t m = field == 0 ? fraction : fraction | (std::uint64_t(1) << 52);
    const int e = field == 0 ? -1074 : int(field) - 1075;
    const Wide p = multiply(m, powers10[std::size_t(d)]);
    std::uint64_t n = 0;
    if (e >= 0) {
        n = p.lo << e; // below 2^63 by the range test
    } else if (-e < 128) {
        const int s = -e;
        // Quotient, remainder and half of 2^s, all in 128 bits.
        Wide q{}, rem{}, half{};
        if (s >= 64) {
            q = {0, p.hi >> (s - 64)};
            rem = {s == 64 ? 0 : p.hi & ((std::uint64_t(1) << (s - 64)) - 1), p.lo};
            half =
                s == 64 ? Wide{0, std::uint64_t(1) << 63} : Wide{std::uint64_t(1) << (s - 65), 0};
        } else {
            q = {p.hi >> s, (p.lo >> s) | (p.hi << (64 - s))};
            rem = {0, p.lo & ((std::uint64_t(1) << s) - 1)};
            half = {0, std::uint64_t(1) << (s - 1)};
        }
        const bool above = rem.hi != half.hi ? rem.hi > half.hi : rem.lo > half.lo;
        const bool tie = rem.hi == half.hi && rem.lo == half.lo;
        n = q.lo + ((above || (tie && (q.lo & 1) != 0)) ? 1 : 0);
    }
    char digits[24];
    char* digitsend = std::to_chars(digits, digits + sizeof digits, n).ptr;
    std::size_t count = std::size_t(digitsend - digits);
    char* o = buf;
    if (std::signbit(x)) {
        *o++ = '-';
    }
    const auto decimals = std::size_t(d);
    if (count <= decimals) {
        // Zeros up to one digit before the point.
        const std::size_t zeros = decimals + 1 - count;
        std::memmove(digits + zeros, digits, count);
        std::memset(digits, '0', zeros);
        count += zeros;
    }
    const std::size_t whole = count - decimals;
    o = std::copy(digits, digits + whole, o);
    if (decimals > 0) {
        *o++ = '.';
        o = std::copy(digits + whole, digits + count, o);
    }
    end = o;
    return true;
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
    std::array<char, 400> buf;
    char* end = nullptr;
    if (!fixeddigits(x, d, buf.data(), end)) {
        auto r = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, d);
        assert(r.ec == std::errc());
        end = r.ptr;
    }
    std::string_view text(buf.data(), std::size_t(end - buf.data()));
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
