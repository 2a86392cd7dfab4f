// Reads a picture's numbers back: the tick labels of a panel give the map from pixels to values,
// and a path's points, mapped through it, are the values the picture shows.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace svgreadback {

/// The text between the opening tag of the element with the given id and its end tag.
inline std::string group(const std::string& svg, const std::string& id) {
    const std::size_t from = svg.find("<g id=\"" + id + "\">");
    if (from == std::string::npos) {
        return {};
    }
    return svg.substr(from, svg.find("</g>", from) - from);
}

/// The value of an attribute of the tag that starts at `at`.
inline std::string attribute(const std::string& text, std::size_t at, const std::string& name) {
    const std::size_t end = text.find('>', at);
    const std::size_t p = text.find(" " + name + "=\"", at);
    if (p == std::string::npos || p > end) {
        return {};
    }
    const std::size_t v = p + name.size() + 3;
    return text.substr(v, text.find('"', v) - v);
}

/// The texts of a class: their x, y and content.
struct Label {
    double x, y;
    std::string text;
};
inline std::vector<Label> labels(const std::string& text, const std::string& cls) {
    std::vector<Label> found;
    for (std::size_t at = text.find("<text"); at != std::string::npos;
         at = text.find("<text", at + 1)) {
        if (attribute(text, at, "class") == cls) {
            const std::size_t open = text.find('>', at) + 1;
            found.push_back({std::atof(attribute(text, at, "x").c_str()),
                             std::atof(attribute(text, at, "y").c_str()),
                             text.substr(open, text.find('<', open) - open)});
        }
    }
    return found;
}

/// The points of a path's d attribute (absolute M, L, H, V; relative h, v), in order.
inline std::vector<std::pair<double, double>> points(const std::string& d) {
    std::vector<std::pair<double, double>> out;
    double x = 0, y = 0;
    const char* p = d.c_str();
    while (*p != '\0') {
        const char c = *p++;
        char* end = nullptr;
        switch (c) {
        case 'M':
        case 'L':
            x = std::strtod(p, &end);
            y = std::strtod(end, &end);
            break;
        case 'H':
            x = std::strtod(p, &end);
            break;
        case 'V':
            y = std::strtod(p, &end);
            break;
        case 'h':
            x += std::strtod(p, &end);
            break;
        case 'v':
            y += std::strtod(p, &end);
            break;
        default:
            continue; // arcs and closes: not used where points are read back
        }
        p = end;
        out.emplace_back(x, y);
    }
    return out;
}

/// The d attributes of the paths of a class, in order.
inline std::vector<std::string> paths(const std::string& text, const std::string& cls) {
    std::vector<std::string> found;
    for (std::size_t at = text.find("<path"); at != std::string::npos;
         at = text.find("<path", at + 1)) {
        if (attribute(text, at, "class") == cls) {
            found.push_back(attribute(text, at, "d"));
        }
    }
    return found;
}

/// The linear map from a pixel coordinate to a value that the tick labels of a class state:
/// the first and last label's position (x for "xtick", y for "ytick") and value.
struct Axis {
    double p0 = 0, v0 = 0, p1 = 1, v1 = 1;
    double value(double pixel) const { return v0 + (pixel - p0) * (v1 - v0) / (p1 - p0); }
    /// Value per pixel: the reading's resolution.
    double perpixel() const { return std::abs((v1 - v0) / (p1 - p0)); }
};
inline Axis axis(const std::string& panel, const std::string& cls) {
    const std::vector<Label> l = labels(panel, cls);
    Axis a;
    if (l.size() < 2) {
        return a;
    }
    const bool x = cls == "xtick";
    // y labels stand 4 pixels below their tick, so that the digits centre on it.
    a.p0 = x ? l.front().x : l.front().y - 4;
    a.p1 = x ? l.back().x : l.back().y - 4;
    a.v0 = std::atof(l.front().text.c_str());
    a.v1 = std::atof(l.back().text.c_str());
    return a;
}

/// What a panel shows: the points of its first path of a class as values through its axes,
/// and how far apart two values one pixel apart are.
struct Values {
    std::vector<std::pair<double, double>> points;
    double dx = 0, dy = 0;
};
inline Values values(const std::string& panel, const std::string& cls) {
    const Axis x = axis(panel, "xtick");
    const Axis y = axis(panel, "ytick");
    Values v{{}, x.perpixel(), y.perpixel()};
    const std::vector<std::string> d = paths(panel, cls);
    for (const auto& [px, py] : d.empty() ? decltype(points("")){} : points(d[0])) {
        v.points.emplace_back(x.value(px), y.value(py));
    }
    return v;
}

} // namespace svgreadback
