// The energy profile of a run in one line of text: a block character per point, its height the
// point's energy between the lowest and the highest, then the first and last energy and their
// difference. The blocks are UTF-8 bytes whatever the locale, so the line is the same on a
// terminal, in a pipe and in a file.
#include "writers/plot.h"

#include <algorithm>
#include <cmath>

namespace {

// More points than this are sampled evenly, the first and the last always among them.
constexpr std::size_t widest = 60;

// U+2581 LOWER ONE EIGHTH BLOCK to U+2588 FULL BLOCK.
void block(std::string& line, int level) {
    line += '\xE2';
    line += '\x96';
    line += static_cast<char>(0x81 + level);
}

} // namespace

std::string energyprofileline(const Store& s) {
    const PlotSeries run = plotseries(s);
    const std::size_t n = run.hartree.size();
    if (n < 2) {
        return {};
    }
    const auto [low, high] = std::minmax_element(run.hartree.begin(), run.hartree.end());
    const std::size_t shown = std::min(n, widest);
    std::string line;
    for (std::size_t i = 0; i < shown; ++i) {
        // The nearest point to an even spacing, halves rounded up.
        const std::size_t p = (i * (n - 1) * 2 + (shown - 1)) / ((shown - 1) * 2);
        const double e = run.hartree[p];
        const double height = (e - *low) / (*high - *low) * 7.0 + 0.5;
        const int level = std::isfinite(height) ? int(std::clamp(height, 0.0, 7.0)) : 0;
        block(line, level);
    }
    line += "  first ";
    svgnumber(line, run.hartree.front(), 6);
    line += " last ";
    svgnumber(line, run.hartree.back(), 6);
    line += " Hartree, ";
    svgnumber(line, run.relative(n - 1), 2);
    line += " kcal/mol";
    return line;
}
