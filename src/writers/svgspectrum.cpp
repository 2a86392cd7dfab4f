// The infrared spectrum panel: a stick per real mode at its wavenumber, as tall as its intensity,
// and the Lorentzian-broadened curve, on a wavenumber axis that runs from high to low; imaginary
// modes are marked below the axis at their magnitude and named under it.
#include "writers/plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

void svgspectrum(std::string& svg, const PlotFrame& f, std::span<const PlotSeries> runs, double g) {
    double vlo = std::numeric_limits<double>::max();
    double vhi = 0.0;
    double tallest = 0.0;
    bool intensities = false;
    std::vector<double> imaginary;
    for (const PlotSeries& run : runs) {
        for (std::size_t m = 0; m < run.frequency.size(); ++m) {
            const double v = std::abs(run.frequency[m]);
            vlo = std::min(vlo, v);
            vhi = std::max(vhi, v);
            if (run.frequency[m] < 0.0) {
                imaginary.push_back(run.frequency[m]);
            } else {
                tallest = std::max(tallest, run.stick(m));
                intensities = intensities || run.intensity[m] != 0.0;
            }
        }
    }
    // Room for the bands at both ends; never below zero wavenumbers.
    const double pad = std::max({50.0, 4.0 * g, 0.05 * (vhi - vlo)});
    const PlotAxis x = plotaxis(std::max(0.0, vlo - pad), vhi + pad, 10, true);
    const double top = tallest > 0.0 ? tallest : 1.0;
    const PlotAxis y = plotaxis(0.0, legendtop(0.0, top, runs.size(), f.bottom - f.top), 5, true);
    svgaxes(svg, f, x, y, true, "wavenumber (cm-1)",
            intensities ? "IR intensity (km/mol)" : "modes (no intensities)");
    auto px = [&](double v) { return x.map(v, f.right, f.left); };
    auto py = [&](double h) { return y.map(h, f.bottom, f.top); };
    const int samples = int(std::lround(f.right - f.left));
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const PlotSeries& run = runs[r];
        std::string sticks, curve;
        for (std::size_t m = 0; m < run.frequency.size(); ++m) {
            if (run.frequency[m] >= 0.0) {
                svgpoint(sticks, 'M', px(run.frequency[m]), f.bottom);
                sticks += 'V';
                svgnumber(sticks, py(run.stick(m)));
            }
        }
        for (const auto& [v, h] : lorentzcurve(run, g, x.lo, x.hi, samples)) {
            svgpoint(curve, curve.empty() ? 'M' : 'L', px(v), py(h));
        }
        const std::string colour(plotcolour(r));
        const std::string stickcolour = runs.size() == 1 ? "#333333" : colour;
        // The sticks over the curve, which would hide them where a band is narrow.
        if (!sticks.empty()) {
            svg += "<path class=\"curve\" d=\"" + curve + "\" stroke=\"" + colour +
                   "\" stroke-width=\"1.5\" fill=\"none\"/>\n";
            svg += "<path class=\"sticks\" d=\"" + sticks + "\" stroke=\"" + stickcolour +
                   "\" stroke-width=\"1.5\" fill=\"none\"/>\n";
        }
    }
    if (!imaginary.empty()) {
        std::string marks;
        std::string note = "imaginary:";
        std::sort(imaginary.begin(), imaginary.end());
        for (std::size_t i = 0; i < imaginary.size(); ++i) {
            // A triangle pointing up at the axis.
            svgpoint(marks, 'M', px(-imaginary[i]), f.bottom + 1);
            marks += "l-5 9h10Z";
            if (i < 3) {
                note += ' ';
                svgnumber(note, -imaginary[i], 1);
                note += 'i';
            }
        }
        if (imaginary.size() > 3) {
            note += " and " + std::to_string(imaginary.size() - 3) + " more";
        }
        note += " cm-1";
        svg += "<path class=\"imaginary\" d=\"" + marks + "\" fill=\"#d50000\"/>\n";
        svgtext(svg, f.right, f.bottom + 36, note,
                "class=\"imaginary-note\" text-anchor=\"end\" font-size=\"12\" fill=\"#d50000\"");
    }
    svglegend(svg, f, runs);
}
