// The legend of a picture of several runs: a box in the frame's top right corner with a line of
// each run's colour and its file name.
#include "writers/plot.h"

#include <algorithm>

void svglegend(std::string& svg, const PlotFrame& f, std::span<const PlotSeries> runs) {
    if (runs.size() < 2) {
        return;
    }
    std::size_t longest = 0;
    for (const PlotSeries& run : runs) {
        longest = std::max(longest, std::min<std::size_t>(run.name.size(), 40));
    }
    // About 7 pixels a character at 12 pixels; the box stays inside the frame.
    const double width = 36.0 + 7.0 * double(longest);
    const double left = std::max(f.left + 4, f.right - 6 - width);
    const double top = f.top + 6;
    std::string box;
    svgpoint(box, 'M', left, top);
    box += 'H';
    svgnumber(box, f.right - 6);
    box += 'V';
    svgnumber(box, top + legendheight(runs.size()) - 6);
    box += 'H';
    svgnumber(box, left);
    box += 'Z';
    svg += "<path class=\"legend\" d=\"" + box +
           "\" fill=\"#ffffff\" fill-opacity=\"0.9\" stroke=\"#b0b0b0\"/>\n";
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const double py = top + 16 + 16.0 * double(r);
        std::string sample;
        svgpoint(sample, 'M', left + 6, py - 4);
        sample += "h20";
        svg += "<path d=\"" + sample + "\" stroke=\"" + std::string(plotcolour(r)) +
               "\" stroke-width=\"2\"/>\n";
        std::string name = runs[r].name;
        if (name.size() > 40) {
            name = "..." + name.substr(name.size() - 37);
        }
        svgtext(svg, left + 30, py, name, "font-size=\"12\"");
    }
}
