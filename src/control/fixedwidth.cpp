// The one place where numbers become fixed-width text.
#include "control/fixedwidth.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>

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

} // namespace

void F(std::string& out, double x, int w, int d) {
    assert(w >= 1 && d >= 0 && d <= 40);
    if (!std::isfinite(x)) {
        nonfinite(out, x, w);
        return;
    }
    // to_chars rounds the exact binary value to nearest, ties to even, like gfortran, and keeps
    // the minus sign of a negative value that rounds to zero.
    std::array<char, 400> buf;
    auto [end, ec] =
        std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, d);
    assert(ec == std::errc());
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
