// A text element of an SVG document; file names may hold characters that XML reserves.
#include "writers/plot.h"

void svgtext(std::string& svg, double x, double y, std::string_view text,
             std::string_view attributes) {
    svg += "<text x=\"";
    svgnumber(svg, x);
    svg += "\" y=\"";
    svgnumber(svg, y);
    svg += '"';
    if (!attributes.empty()) {
        svg += ' ';
        svg += attributes;
    }
    svg += '>';
    for (const char c : text) {
        switch (c) {
        case '&':
            svg += "&amp;";
            break;
        case '<':
            svg += "&lt;";
            break;
        case '>':
            svg += "&gt;";
            break;
        case '"':
            svg += "&quot;";
            break;
        default:
            // Control characters are not allowed in XML 1.0 text.
            svg += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
    }
    svg += "</text>\n";
}
