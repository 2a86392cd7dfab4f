// Results of the free-format field reader: the integers, reals and strings of one line, in
// lists numbered from 1, with the order in which they appeared.
#pragma once

#include <array>
#include <string>
#include <string_view>

enum class FieldKind { none = 0, real = 1, integer = 2, string = 3, equals = 4 };

struct FieldRef {
    FieldKind kind = FieldKind::none;
    int index = 0; // into the list of that kind; 0 for an equals sign
};

struct FreeRead {
    static constexpr int maxfields = 40; // per kind
    static constexpr int maxorder = 120; // entries of fndorder
    static constexpr int maxstring = 80; // characters kept of a string

    int nfndi = 0; // integers found
    int nfndr = 0; // reals found
    int nfnds = 0; // strings found
    int nfndt = 0; // entries in the order list

    /// The i-th integer (1-based); 0 past the count, as in a cleared list.
    long long fndintegers(int i) const { return in(i, nfndi) ? integers[idx(i)] : 0; }
    /// The i-th real (1-based); 0.0 past the count.
    double fndreals(int i) const { return in(i, nfndr) ? reals[idx(i)] : 0.0; }
    /// The i-th string (1-based), at most 80 characters, trailing blanks removed; empty past the
    /// count.
    std::string_view fndstrings(int i) const {
        return in(i, nfnds) ? std::string_view(strings[idx(i)]) : std::string_view();
    }
    /// Length of the i-th string as it stood on the line, before it was cut to 80 characters.
    int fndlength(int i) const { return in(i, nfnds) ? lengths[idx(i)] : 0; }
    /// The i-th entry of the order list (1-based).
    FieldRef fndorder(int i) const { return in(i, nfndt) ? order[idx(i)] : FieldRef{}; }

    std::array<long long, maxfields> integers{};
    std::array<double, maxfields> reals{};
    std::array<std::string, maxfields> strings;
    std::array<int, maxfields> lengths{};
    std::array<FieldRef, maxorder> order{};

  private:
    static bool in(int i, int n) { return i >= 1 && i <= n; }
    static std::size_t idx(int i) { return std::size_t(i - 1); }
};

/// Splits a line into integers, reals and strings; never fails (a field that is not a number is a
/// string).
FreeRead freerd(std::string_view line);
