// Fixed-width fields with the semantics of Fortran's F, I and A edit descriptors, as gfortran
// writes them: right-aligned, correctly rounded from the exact binary value, asterisks when the
// value does not fit.
#pragma once

#include <string>
#include <string_view>

namespace fw {

/// Fw.d of x appended to out (w >= 1, 0 <= d <= 40).
void F(std::string& out, double x, int w, int d);
/// Iw of n appended to out (w >= 1).
void I(std::string& out, long long n, int w);
/// Aw of s appended to out: right-aligned when shorter than w, cut to its first w characters when
/// longer.
void A(std::string& out, std::string_view s, int w);
/// The same three, returning the field.
std::string F(double x, int w, int d);
std::string I(long long n, int w);
std::string A(std::string_view s, int w);

} // namespace fw
