// The facts of every file as one JSON array, written by hand: a few fields, text escaped.
#include "control/commands.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string jsonstring(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

// The shortest text that reads back as the same double; null for none.
std::string number(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) {
        return "null";
    }
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, *value);
    return ec == std::errc() ? std::string(text, end) : "null";
}

std::string truth(Tristate t) {
    return t == Tristate::yes ? "true" : t == Tristate::no ? "false" : "null";
}

std::string textornull(const std::string& text) {
    return text.empty() ? "null" : jsonstring(text);
}

} // namespace

std::string infojson(std::span<const FileFacts> facts) {
    std::string json = "[";
    for (const FileFacts& f : facts) {
        json += json.size() > 1 ? ",\n  {" : "\n  {";
        json += "\"file\": " + jsonstring(f.file);
        if (!f.error.empty()) {
            json += ", \"error\": " + jsonstring(f.error) + "}";
            continue;
        }
        json += ", \"type\": " + jsonstring(f.type);
        json += ", \"program\": " + textornull(f.program);
        json += ", \"version\": " + textornull(f.version);
        json += ", \"atoms\": " + std::to_string(f.atoms);
        json += ", \"formula\": " + jsonstring(f.formula);
        json += ", \"geometries\": " + std::to_string(f.geometries);
        json += ", \"energy\": " + number(f.energy);
        json += ", \"geometry_energies\": [";
        for (std::size_t g = 0; g < f.energies.size(); ++g) {
            json += (g == 0 ? "" : ", ") + number(f.energies[g]);
        }
        json += "]";
        json += ", \"normal_end\": " + truth(f.ended);
        json += ", \"converged\": " + truth(f.converged);
        json += ", \"frequencies\": " + std::to_string(f.frequencies);
        json += ", \"lowest_frequency\": " + number(f.lowest);
        json += ", \"imaginary\": " + std::to_string(f.imaginary);
        json += "}";
    }
    return json + (facts.empty() ? "]\n" : "\n]\n");
}
