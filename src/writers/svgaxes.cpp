// The axes of a panel: the left and bottom lines, ticks with their labels, light grid lines at
// the value ticks, and the two axis titles.
#include "writers/plot.h"

void svgaxes(std::string& svg, const PlotFrame& f, const PlotAxis& x, const PlotAxis& y,
             bool reversed, std::string_view xtitle, std::string_view ytitle) {
    std::string grid, ticks, labels;
    for (const double t : y.ticks) {
        const double py = y.map(t, f.bottom, f.top);
        svgpoint(grid, 'M', f.left, py);
        grid += 'H';
        svgnumber(grid, f.right);
        svgpoint(ticks, 'M', f.left, py);
        ticks += "h-5";
        std::string label;
        svgnumber(label, t, y.decimals);
        svgtext(labels, f.left - 8, py + 4, label,
                "class=\"ytick\" text-anchor=\"end\" font-size=\"12\"");
    }
    for (const double t : x.ticks) {
        const double px = reversed ? x.map(t, f.right, f.left) : x.map(t, f.left, f.right);
        svgpoint(ticks, 'M', px, f.bottom);
        ticks += "v5";
        std::string label;
        svgnumber(label, t, x.decimals);
        svgtext(labels, px, f.bottom + 18, label,
                "class=\"xtick\" text-anchor=\"middle\" font-size=\"12\"");
    }
    if (!grid.empty()) {
        svg += "<path class=\"grid\" d=\"" + grid + "\" stroke=\"#e4e4e4\" fill=\"none\"/>\n";
    }
    std::string axes;
    svgpoint(axes, 'M', f.left, f.top);
    axes += 'V';
    svgnumber(axes, f.bottom);
    axes += 'H';
    svgnumber(axes, f.right);
    svg += "<path class=\"axes\" d=\"" + axes + "\" stroke=\"#000000\" fill=\"none\"/>\n";
    svg += "<path class=\"ticks\" d=\"" + ticks + "\" stroke=\"#000000\" fill=\"none\"/>\n";
    svg += labels;
    svgtext(svg, (f.left + f.right) / 2, f.bottom + 36, xtitle,
            "class=\"xtitle\" text-anchor=\"middle\" font-size=\"13\"");
    const double cx = f.left - 50;
    const double cy = (f.top + f.bottom) / 2;
    std::string rotate = "class=\"ytitle\" text-anchor=\"middle\" font-size=\"13\" "
                         "transform=\"rotate(-90 ";
    svgnumber(rotate, cx);
    rotate += ' ';
    svgnumber(rotate, cy);
    rotate += ")\"";
    svgtext(svg, cx, cy, ytitle, rotate);
}
