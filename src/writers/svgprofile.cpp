// The energy profile panel: the energy of each point relative to the run's first against the
// step (or scan point), a line and dots per run, and a legend of the runs when there are several.
#include "writers/plot.h"

#include <algorithm>
#include <limits>

void svgprofile(std::string& svg, const PlotFrame& f, std::span<const PlotSeries> runs) {
    double xlo = std::numeric_limits<double>::max();
    double xhi = std::numeric_limits<double>::lowest();
    double ylo = 0.0;
    double yhi = 0.0;
    bool scan = true;
    for (const PlotSeries& run : runs) {
        scan = scan && run.scan;
        for (std::size_t i = 0; i < run.step.size(); ++i) {
            xlo = std::min(xlo, run.step[i]);
            xhi = std::max(xhi, run.step[i]);
            ylo = std::min(ylo, run.relative(i));
            yhi = std::max(yhi, run.relative(i));
        }
    }
    // Steps are whole numbers: no more ticks than steps.
    const PlotAxis x = plotaxis(xlo, xhi, std::clamp(int(xhi - xlo), 1, 10), false);
    const PlotAxis y = plotaxis(ylo, legendtop(ylo, yhi, runs.size(), f.bottom - f.top), 5, true);
    svgaxes(svg, f, x, y, false, scan ? "scan point" : "step", "relative energy (kcal/mol)");
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const PlotSeries& run = runs[r];
        std::string line, dots;
        for (std::size_t i = 0; i < run.step.size(); ++i) {
            const double px = x.map(run.step[i], f.left, f.right);
            const double py = y.map(run.relative(i), f.bottom, f.top);
            svgpoint(line, i == 0 ? 'M' : 'L', px, py);
            // A dot of radius 2.5 as two half circles.
            svgpoint(dots, 'M', px - 2.5, py);
            dots += "a2.5 2.5 0 1 0 5 0a2.5 2.5 0 1 0 -5 0";
        }
        const std::string colour(plotcolour(r));
        svg += "<path class=\"profile\" d=\"" + line + "\" stroke=\"" + colour +
               "\" stroke-width=\"1.5\" fill=\"none\"/>\n";
        // Dots only where they stay apart.
        if (run.step.size() <= 120) {
            svg += "<path class=\"dots\" d=\"" + dots + "\" fill=\"" + colour + "\"/>\n";
        }
    }
    svglegend(svg, f, runs);
}
