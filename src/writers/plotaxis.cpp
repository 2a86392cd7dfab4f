// A linear axis with ticks at round numbers: 1, 2 or 5 times a power of ten.
#include "writers/plot.h"

#include <algorithm>
#include <cmath>

PlotAxis plotaxis(double lo, double hi, int count, bool widen) {
    if (!(hi > lo) || !std::isfinite(hi - lo)) {
        // One value, none, or values no axis can hold (a file's "inf"): a unit range around a
        // finite one.
        double mid = std::isfinite(lo) ? lo : std::isfinite(hi) ? hi : 0.0;
        if (!(mid + 1.0 > mid - 1.0)) {
            mid = 0.0; // too large for a unit to show
        }
        lo = mid - 1.0;
        hi = mid + 1.0;
    }
    // The power of ten by whole exponents rather than log10, so that the ticks do not depend on
    // the mathematical library's last bit.
    const double span = hi - lo;
    int exponent = 0;
    auto power = [&] {
        return exponent >= 0 ? std::pow(10.0, exponent) : 1.0 / std::pow(10.0, -exponent);
    };
    while (span / power() > 10.0 * count && exponent < 308) {
        ++exponent;
    }
    while (span / power() < count && exponent > -12) {
        --exponent;
    }
    double multiple = 10.0;
    for (const double m : {1.0, 2.0, 5.0}) {
        if (span / (m * power()) <= count) {
            multiple = m;
            break;
        }
    }
    if (multiple == 10.0) {
        multiple = 1.0;
        ++exponent;
    }
    const double step = multiple * power();
    PlotAxis axis;
    axis.decimals = std::max(0, -exponent);
    const double first = widen ? std::floor(lo / step + 1e-9) : std::ceil(lo / step - 1e-9);
    const double last = widen ? std::ceil(hi / step - 1e-9) : std::floor(hi / step + 1e-9);
    axis.lo = widen ? std::min(lo, first * step) : lo;
    axis.hi = widen ? std::max(hi, last * step) : hi;
    // The bound keeps a range the steps cannot resolve from running away.
    for (double k = first; k <= last + 0.5 && axis.ticks.size() <= std::size_t(10 * count);
         k += 1.0) {
        axis.ticks.push_back(k * step);
    }
    return axis;
}
