// Runs one real program output through the control input, the reader and the arrangement step,
// and reads what an independent parser extracted from the same output, for the real-data tests
// of the output readers.
#pragma once

#include "analysis/analysis.h"
#include "control/control.h"
#include "store/store.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace realoutput {

inline std::string path(const std::string& file) {
    return std::string(KRU_REALDATA) + "/" + file;
}

inline bool present(const std::string& file) {
    return std::filesystem::exists(path(file)) && std::filesystem::exists(path("reference.json"));
}

/// The reference entry of one output, keyed "PROGRAM/FILE".
inline nlohmann::json reference(const std::string& key) {
    std::ifstream in(path("reference.json"));
    return nlohmann::json::parse(in).at(key);
}

struct RealRun {
    Store s;
    std::string out, message, routine;
};

/// Reads the output of the given input type as a run would, with further control lines.
inline RealRun readreal(const std::string& type, const std::string& file,
                        const std::string& more = "") {
    RealRun r;
    std::string typefield = type;
    typefield.resize(6, ' ');
    std::istringstream control("IN  " + typefield + " " + path(file) + "\n" + more);
    std::ostringstream log;
    r.s.context.log = &log;
    try {
        processinput(r.s, control);
        readfile(r.s);
        arrange(r.s);
    } catch (const RunError& e) {
        r.message = e.what();
        r.routine = e.routine;
    }
    r.s.context.log = &std::cout; // the stream ends here, the store lives on
    r.out = log.str();
    return r;
}

/// Largest difference, Angstrom, between a reference geometry and a table of Bohr coordinates
/// given as a function of (k, atom).
template <class Coordinate>
double deviation(const nlohmann::json& geometry, int nat, Coordinate bohrs) {
    double worst = 0.0;
    for (int a = 1; a <= nat; ++a) {
        for (int k = 1; k <= 3; ++k) {
            const double want = geometry.at(std::size_t(a - 1)).at(std::size_t(k - 1));
            worst = std::max(worst, std::abs(bohrs(k, a) * angstrom_per_bohr - want));
        }
    }
    return worst;
}

inline double geometrydeviation(const Store& s, const nlohmann::json& geometry, int g) {
    return deviation(geometry, s.nat, [&](int k, int a) { return s.xgeo(k, a, g); });
}

inline double finaldeviation(const Store& s, const nlohmann::json& geometry) {
    return deviation(geometry, s.nat, [&](int k, int a) { return s.xyz(k, a); });
}

} // namespace realoutput
