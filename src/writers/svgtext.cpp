// A text element of an SVG document; file names may hold characters that XML reserves.
#include "writers/plot.h"

namespace {

// The length of the well-formed UTF-8 sequence that starts the text, 0 when it starts with none
// (a file name may be any bytes; an SVG document must be UTF-8).
std::size_t utf8length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const std::size_t n = lead < 0x80   ? 1
                          : lead < 0xC2 ? 0
                          : lead < 0xE0 ? 2
                          : lead < 0xF0 ? 3
                          : lead < 0xF5 ? 4
                                        : 0;
    if (n == 0 || n > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F) ||
        (lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F)) {
        return 0;
    }
    return n;
}

} // namespace

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
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t n = utf8length(text.substr(i));
        if (n > 1) {
            svg += text.substr(i, n);
            i += n;
            continue;
        }
        ++i;
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
            // Control characters are not allowed in XML 1.0 text, nor bytes that are no UTF-8.
            svg += n == 0 || static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
    }
    svg += "</text>\n";
}
