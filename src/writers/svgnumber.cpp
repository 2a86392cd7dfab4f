// A number in an SVG document: fixed decimals, so the same picture has the same bytes
// everywhere.
#include "writers/plot.h"

#include <charconv>
#include <cmath>

void svgnumber(std::string& svg, double v, int decimals) {
    char buf[64];
    // Values round to the written decimals first, so a tiny negative is not written "-0.00".
    const double scale = std::pow(10.0, decimals);
    double r = std::round(v * scale) / scale;
    if (r == 0.0 || !std::isfinite(r)) {
        r = 0.0;
    }
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, r, std::chars_format::fixed, decimals);
    svg.append(buf, ec == std::errc() ? end : buf);
}
