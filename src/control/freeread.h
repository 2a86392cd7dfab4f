// Results of the free-format field reader: the integers, reals and strings of one line, in
// lists numbered from 1, with the order in which they appeared.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

enum class FieldKind { none = 0, real = 1, integer = 2, string = 3, equals = 4 };

struct FieldRef {
    FieldKind kind;
    int index; // into the list of that kind; 0 for an equals sign
};

struct FreeRead {
    static constexpr int maxfields = 40; // per kind
    static constexpr int maxorder = 120; // entries of fndorder
    static constexpr int maxstring = 80; // characters kept of a string

    int nfndi = 0; // integers found
    int nfndr = 0; // reals found
    int nfnds = 0; // strings found
    int nfndt = 0; // entries in the order list

    FreeRead() = default;
    FreeRead(const FreeRead& o) { copy(o); }
    FreeRead& operator=(const FreeRead& o) {
        copy(o);
        return *this;
    }

    /// The i-th integer (1-based); 0 past the count, as in a cleared list.
    long long fndintegers(int i) const { return in(i, nfndi) ? integers[idx(i)] : 0; }
    /// The i-th real (1-based); 0.0 past the count.
    double fndreals(int i) const { return in(i, nfndr) ? reals[idx(i)] : 0.0; }
    /// The i-th string (1-based), at most 80 characters, trailing blanks removed; empty past the
    /// count.
    std::string_view fndstrings(int i) const {
        return in(i, nfnds) ? std::string_view(text[idx(i)].data(), std::size_t(kept[idx(i)]))
                            : std::string_view();
    }
    /// Length of the i-th string as it stood on the line, before it was cut to 80 characters.
    int fndlength(int i) const { return in(i, nfnds) ? lengths[idx(i)] : 0; }
    /// The i-th entry of the order list (1-based).
    FieldRef fndorder(int i) const {
        return in(i, nfndt) ? order[idx(i)] : FieldRef{FieldKind::none, 0};
    }

    // The lists are filled up to their counts and never cleared: a line costs neither an
    // allocation nor the clearing of the whole lists, and nothing is read beyond the counts.
    std::array<long long, maxfields> integers;
    std::array<double, maxfields> reals;
    std::array<std::array<char, maxstring>, maxfields> text; // the characters kept of a string
    std::array<int, maxfields> kept;                         // how many they are
    std::array<int, maxfields> lengths;
    std::array<FieldRef, maxorder> order;

  private:
    void copy(const FreeRead& o) {
        nfndi = o.nfndi;
        nfndr = o.nfndr;
        nfnds = o.nfnds;
        nfndt = o.nfndt;
        std::copy_n(o.integers.begin(), nfndi, integers.begin());
        std::copy_n(o.reals.begin(), nfndr, reals.begin());
        for (std::size_t k = 0; k < std::size_t(nfnds); ++k) {
            std::copy_n(o.text[k].begin(), o.kept[k], text[k].begin());
        }
        std::copy_n(o.kept.begin(), nfnds, kept.begin());
        std::copy_n(o.lengths.begin(), nfnds, lengths.begin());
        std::copy_n(o.order.begin(), nfndt, order.begin());
    }
    static bool in(int i, int n) { return i >= 1 && i <= n; }
    static std::size_t idx(int i) { return std::size_t(i - 1); }
};

/// Splits a line into integers, reals and strings; never fails (a field that is not a number is a
/// string).
FreeRead freerd(std::string_view line);
/// The same as far as the first `reals` reals: the fields up to there, for a caller that needs
/// no more of a long line.
FreeRead freerd(std::string_view line, int reals);

/// An integer field as a table's int: values beyond its range are kept at its bounds, so that they
/// stay out of range for the checks that follow.
inline int clampint(long long v) {
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}
