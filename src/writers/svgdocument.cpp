// The SVG picture of one or several runs: white background, the title, and one panel each for
// the energy profile and the infrared spectrum, one above the other, in 800 x 500 pixels. Plain
// SVG 1.1 with paths and text only, the generic sans-serif font, no scripts.
#include "writers/plot.h"

#include <vector>

namespace {

constexpr double width = 800;
constexpr double height = 500;
constexpr double titlebottom = 36; // the panels start below the title

} // namespace

std::string svgdocument(std::string_view title, std::span<const PlotSeries> runs, PlotWhat what,
                        double g) {
    std::vector<PlotSeries> profiles, spectra;
    for (const PlotSeries& run : runs) {
        if (what != PlotWhat::ir && run.step.size() >= 2) {
            profiles.push_back(run);
        }
        if (what != PlotWhat::energy && !run.frequency.empty()) {
            spectra.push_back(run);
        }
    }
    const int panels = int(!profiles.empty()) + int(!spectra.empty());
    if (panels == 0) {
        return {};
    }
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"800\" "
                      "height=\"500\" viewBox=\"0 0 800 500\" font-family=\"sans-serif\">\n"
                      "<path d=\"M0 0H800V500H0Z\" fill=\"#ffffff\"/>\n";
    svgtext(svg, width / 2, 24, title,
            "class=\"title\" text-anchor=\"middle\" font-size=\"16\" font-weight=\"bold\"");
    // Room above each frame for its top tick label, below it for tick labels and the title.
    const double panelheight = (height - titlebottom) / panels;
    double top = titlebottom;
    auto frame = [&] {
        const PlotFrame f{80, top + 10, width - 20, top + panelheight - 46};
        top += panelheight;
        return f;
    };
    if (!profiles.empty()) {
        svg += "<g id=\"energy\">\n";
        svgprofile(svg, frame(), profiles);
        svg += "</g>\n";
    }
    if (!spectra.empty()) {
        svg += "<g id=\"spectrum\">\n";
        svgspectrum(svg, frame(), spectra, g);
        svg += "</g>\n";
    }
    svg += "</svg>\n";
    return svg;
}
