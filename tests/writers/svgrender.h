// A picture looked at as a person would: rendered to PNG by rsvg-convert, it must render without
// error at its stated size, and each panel's plot area must hold ink.
#pragma once

#include "pngimage.h"
#include "svgreadback.h"
#include "testfiles.h"

#include <filesystem>
#include <string>

/// Renders an SVG file beside itself (NAME.png) and looks at it; empty when all is well, else
/// what is wrong.
inline std::string rendercheck(const std::filesystem::path& svg) {
    namespace fs = std::filesystem;
    const fs::path png = fs::path(svg).replace_extension(".png");
    const int status =
        runbinary(KRU_RSVG, svg.parent_path(), {"--format=png", "-o", png.string(), svg.string()});
    if (status != 0) {
        return "rsvg-convert exit status " + std::to_string(status) + ": " +
               slurp(svg.parent_path() / ".stderr");
    }
    const PngImage img = readpng(slurp(png));
    if (!img.error.empty()) {
        return img.error;
    }
    if (img.width != 800 || img.height != 500) {
        return "rendered " + std::to_string(img.width) + " x " + std::to_string(img.height);
    }
    const std::string text = slurp(svg);
    int panels = 0;
    for (const std::string& d : svgreadback::paths(text, "axes")) {
        // "M left top V bottom H right": the frame, of which the inside is looked at.
        const auto corners = svgreadback::points(d);
        if (corners.size() != 3) {
            return "axes path " + d;
        }
        const int left = int(corners[0].first) + 3, top = int(corners[0].second) + 3;
        const int right = int(corners[2].first) - 2, bottom = int(corners[1].second) - 2;
        int inked = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                inked += img.ink(x, y) ? 1 : 0;
            }
        }
        if (inked < 100) {
            return "panel " + std::to_string(panels + 1) + " blank: " + std::to_string(inked) +
                   " pixels of ink";
        }
        ++panels;
    }
    return panels == 0 ? "no panel" : "";
}
