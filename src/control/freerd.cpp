// The free-format field reader. Its classification is part of every file format the program
// reads: a number without a decimal point is an integer and never a real.
#include "control/freeread.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

bool isdigit(char c) {
    return c >= '0' && c <= '9';
}
bool issign(char c) {
    return c == '+' || c == '-';
}
// Integer fields are read like Fortran's list-directed input of a 64-bit integer: one optional
// sign, then digits only, within range.
std::optional<long long> readinteger(std::string_view f) {
    std::size_t start = 0;
    if (!f.empty() && issign(f[0])) {
        start = 1;
    }
    if (start == f.size()) {
        return std::nullopt;
    }
    for (std::size_t i = start; i < f.size(); ++i) {
        if (!isdigit(f[i])) {
            return std::nullopt;
        }
    }
    // from_chars takes a leading minus but no plus; the minus is kept so that the most
    // negative value still converts.
    const std::size_t from = f[0] == '+' ? 1 : 0;
    long long value = 0;
    auto [ptr, ec] = std::from_chars(f.data() + from, f.data() + f.size(), value);
    if (ec != std::errc() || ptr != f.data() + f.size()) {
        return std::nullopt;
    }
    return value;
}

// The powers of ten that a double holds exactly.
constexpr std::array<double, 23> exactpowers10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The usual field, "-12.345678", from its digits as one integer: with at most 15 digits they are
// an exact double, and so is 10^k up to k = 22; one division of the two is then rounded once, to
// nearest, which is the correctly rounded value from_chars gives, negative zero included. None
// for a field beyond that (or without digits), which from_chars then reads.
std::optional<double> exactdecimal(std::uint64_t digitvalue, int digits, int decimals,
                                   bool negative) {
    if (digits == 0 || digits > 15 || decimals > 22) {
        return std::nullopt;
    }
    const double magnitude = double(digitvalue) / exactpowers10[std::size_t(decimals)];
    return negative ? -magnitude : magnitude;
}

// Real fields are read like gfortran's list-directed input: optional sign, digits around one
// point (at least one digit), an optional exponent written with E, D or Q or as a bare signed
// number ("1.5-3" is 1.5E-3), and nothing after it but a value separator ";" or "/" that ends
// the read. Overflow reads as infinity and underflow as zero, as gfortran does.
std::optional<double> readreal(std::string_view f) {
    std::size_t p = 0;
    if (p < f.size() && issign(f[p])) {
        ++p;
    }
    int mantissadigits = 0;
    int intdigits = 0;     // digits before the point
    int firstnonzero = -1; // position of the first non-zero digit among all mantissa digits
    // The mantissa's digits as one integer, exact while they are few (see below).
    std::uint64_t digitvalue = 0;
    while (p < f.size() && isdigit(f[p])) {
        if (firstnonzero < 0 && f[p] != '0') {
            firstnonzero = mantissadigits;
        }
        digitvalue = digitvalue * 10 + std::uint64_t(f[p] - '0');
        ++p;
        ++mantissadigits;
        ++intdigits;
    }
    if (p == f.size() || f[p] != '.') {
        return std::nullopt;
    }
    ++p;
    while (p < f.size() && isdigit(f[p])) {
        if (firstnonzero < 0 && f[p] != '0') {
            firstnonzero = mantissadigits;
        }
        digitvalue = digitvalue * 10 + std::uint64_t(f[p] - '0');
        ++p;
        ++mantissadigits;
    }
    if (mantissadigits == 0) {
        return std::nullopt;
    }
    const std::size_t mantissaend = p;
    long long exponent = 0;
    bool hasexponent = false;
    if (p < f.size()) {
        const char c = f[p];
        const bool letter = c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q';
        if (letter || issign(c)) {
            std::size_t q = letter ? p + 1 : p;
            bool negative = false;
            if (q < f.size() && issign(f[q])) {
                negative = f[q] == '-';
                ++q;
            }
            const std::size_t digitsfrom = q;
            while (q < f.size() && isdigit(f[q])) {
                if (exponent < 100000) {
                    exponent = exponent * 10 + (f[q] - '0');
                }
                ++q;
            }
            if (q == digitsfrom) {
                return std::nullopt;
            }
            if (negative) {
                exponent = -exponent;
            }
            hasexponent = true;
            p = q;
        }
    }
    if (p < f.size() && f[p] != ';' && f[p] != '/') {
        return std::nullopt;
    }
    if (!hasexponent) {
        if (const auto v =
                exactdecimal(digitvalue, mantissadigits, mantissadigits - intdigits, f[0] == '-')) {
            return v;
        }
    }
    // What from_chars reads: the mantissa as written with its minus sign (it takes no plus),
    // then the exponent in E form. Only a field with an exponent is copied, onto the stack
    // unless it is very long.
    const std::size_t from = f[0] == '+' ? 1 : 0;
    std::string_view normal = f.substr(from, mantissaend - from);
    std::array<char, 96> buffer;
    std::string longer;
    if (hasexponent) {
        char* out = buffer.data();
        if (normal.size() + 8 > buffer.size()) {
            longer.resize(normal.size() + 8);
            out = longer.data();
        }
        char* end = std::copy(normal.begin(), normal.end(), out);
        *end++ = 'e';
        end = std::to_chars(end, end + 7, exponent).ptr;
        normal = std::string_view(out, std::size_t(end - out));
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Decimal position of the leading digit tells overflow from underflow.
        const long long magnitude = firstnonzero < 0 ? -1 : intdigits - firstnonzero + exponent;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        if (f[0] == '-') {
            value = -value;
        }
    } else if (ec != std::errc() || ptr != normal.data() + normal.size()) {
        return std::nullopt;
    }
    return value;
}

class Collector {
  public:
    explicit Collector(FreeRead& r) : r_(r) {}

    void equals() {
        if (r_.nfndt < FreeRead::maxorder) {
            r_.order[std::size_t(r_.nfndt++)] = {FieldKind::equals, 0};
        }
    }

    void integer(long long v) {
        if (room(r_.nfndi)) {
            r_.integers[std::size_t(r_.nfndi++)] = v;
            r_.order[std::size_t(r_.nfndt++)] = {FieldKind::integer, r_.nfndi};
        }
    }

    void real(double v) {
        if (room(r_.nfndr)) {
            r_.reals[std::size_t(r_.nfndr++)] = v;
            r_.order[std::size_t(r_.nfndt++)] = {FieldKind::real, r_.nfndr};
        }
    }

    void string(std::string_view s) {
        if (room(r_.nfnds)) {
            std::string_view kept = s.substr(0, FreeRead::maxstring);
            while (!kept.empty() && kept.back() == ' ') {
                kept.remove_suffix(1);
            }
            std::copy(kept.begin(), kept.end(), r_.text[std::size_t(r_.nfnds)].begin());
            r_.kept[std::size_t(r_.nfnds)] = int(kept.size());
            r_.lengths[std::size_t(r_.nfnds++)] = int(s.size());
            r_.order[std::size_t(r_.nfndt++)] = {FieldKind::string, r_.nfnds};
        }
    }

  private:
    // Fields beyond a list's capacity, or beyond the order list's, are ignored.
    bool room(int count) const {
        return count < FreeRead::maxfields && r_.nfndt < FreeRead::maxorder;
    }
    FreeRead& r_;
};

// What each byte is to the field reader.
enum Byte : unsigned char { other, separator, equals, digit, sign, point, quote };

constexpr std::array<Byte, 256> bytekinds = [] {
    std::array<Byte, 256> k{};
    for (int c = 0; c < 33; ++c) {
        k[std::size_t(c)] = separator;
    }
    k[','] = separator;
    k['='] = equals;
    for (int c = '0'; c <= '9'; ++c) {
        k[std::size_t(c)] = digit;
    }
    k['+'] = sign;
    k['-'] = sign;
    k['.'] = point;
    k['"'] = quote;
    k['\''] = quote;
    return k;
}();

Byte kind(char c) {
    return bytekinds[static_cast<unsigned char>(c)];
}

// What an unquoted field's characters allow it to be.
struct Shape {
    int points = 0;
    bool otherbeforepoint = false; // a character other than a sign or digit before any point
    bool other = false;            // anywhere
};

void classify(Collector& c, std::string_view f, const Shape& shape) {
    if (shape.points == 0 && !shape.other) {
        if (auto v = readinteger(f)) {
            c.integer(*v);
        } else {
            c.string(f);
        }
        return;
    }
    if (shape.points == 1 && !shape.otherbeforepoint && f != ".") {
        if (auto v = readreal(f)) {
            c.real(*v);
            if (shape.other) {
                c.string(f);
            }
        } else {
            c.string(f);
        }
        return;
    }
    c.string(f);
}

// A field of the usual shapes, [sign]digits or [sign][digits].[digits] with few digits, read in
// one pass to the value classify would give it, and p moved past it. False, with nothing
// recorded, for any other field.
bool plainnumber(Collector& c, std::string_view line, std::size_t& p) {
    const std::size_t n = line.size();
    std::size_t q = p;
    const bool negative = line[q] == '-';
    if (issign(line[q])) {
        ++q;
    }
    std::uint64_t value = 0;
    int digits = 0;
    for (; q < n && isdigit(line[q]); ++q, ++digits) {
        value = value * 10 + std::uint64_t(line[q] - '0');
    }
    int decimals = -1; // no point
    if (q < n && line[q] == '.') {
        ++q;
        decimals = 0;
        for (; q < n && isdigit(line[q]); ++q, ++decimals) {
            value = value * 10 + std::uint64_t(line[q] - '0');
        }
    }
    if (q < n && kind(line[q]) != separator && kind(line[q]) != equals) {
        return false;
    }
    if (decimals < 0) {
        // Up to 18 digits fit a long long whatever they are.
        if (digits == 0 || digits > 18) {
            return false;
        }
        const auto v = static_cast<long long>(value);
        c.integer(negative ? -v : v);
    } else {
        const auto v = exactdecimal(value, digits + decimals, decimals, negative);
        if (!v) {
            return false;
        }
        c.real(*v);
    }
    p = q;
    return true;
}

} // namespace

FreeRead freerd(std::string_view line) {
    return freerd(line, FreeRead::maxfields + 1);
}

FreeRead freerd(std::string_view line, int reals) {
    FreeRead result;
    Collector c(result);
    std::size_t p = 0;
    const std::size_t n = line.size();
    while (p < n && result.nfndr < reals) {
        const Byte k = kind(line[p]);
        if (k == separator || k == equals) {
            if (k == equals) {
                c.equals();
            }
            ++p;
            continue;
        }
        if (k == quote) {
            const std::size_t close = line.find(line[p], p + 1);
            const std::size_t end = close == std::string_view::npos ? n : close;
            c.string(line.substr(p + 1, end - p - 1));
            p = close == std::string_view::npos ? n : close + 1;
            continue;
        }
        if (k == other) {
            // A character other than a sign, digit or point before any point makes the field a
            // string, whatever follows.
            const std::size_t start = p;
            while (p < n && kind(line[p]) != separator && kind(line[p]) != equals) {
                ++p;
            }
            c.string(line.substr(start, p - start));
            continue;
        }
        if (plainnumber(c, line, p)) {
            continue;
        }
        // The field's extent and shape in one pass; a quote inside it is an ordinary character.
        const std::size_t start = p;
        Shape shape;
        for (; p < n; ++p) {
            const Byte b = kind(line[p]);
            if (b == separator || b == equals) {
                break;
            }
            if (b == point) {
                ++shape.points;
            } else if (b != digit && b != sign) {
                shape.other = true;
                shape.otherbeforepoint = shape.otherbeforepoint || shape.points == 0;
            }
        }
        classify(c, line.substr(start, p - start), shape);
    }
    return result;
}
