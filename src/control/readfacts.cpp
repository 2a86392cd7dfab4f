// What a file holds, read as a conversion reads it: its type from its content, the same reader
// with the control input's defaults, the final structure and the arrangement as for an output. Then
// the lines its type's row names: the program's version and the convergence of an optimisation.
#include "analysis/analysis.h"
#include "control/commands.h"
#include "control/control.h"
#include "control/detect.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "store/store.h"
#include "writers/plot.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

// The words right after the marker that hold a digit ("5.0.1", "16 ES64L-G16RevA.03"), up to
// the first that holds none; a trailing ":" or "," dropped.
std::string versionwords(std::string_view rest) {
    std::string version;
    std::istringstream words{std::string(rest)};
    for (std::string w; words >> w;) {
        if (w.find_first_of("0123456789") == std::string::npos) {
            break;
        }
        while (w.ends_with(':') || w.ends_with(',')) {
            w.pop_back();
        }
        version += (version.empty() ? "" : " ") + w;
    }
    return version;
}

// The first version line with a version, and whether the converged line stands anywhere.
void scanmarkers(const RunMarkers& markers, const std::string& path, FileFacts& facts) {
    if (markers.version.empty() && markers.converged.empty()) {
        return;
    }
    InputFile in;
    if (!in.load(path)) {
        return;
    }
    bool converged = false;
    std::string_view line;
    while (in.getline(line) && (facts.version.empty() || !converged)) {
        if (facts.version.empty() && !markers.version.empty()) {
            const std::string_view text = trimleft(line);
            if (text.starts_with(markers.version)) {
                facts.version = versionwords(text.substr(markers.version.size()));
            }
        }
        if (!markers.converged.empty() && line.find(markers.converged) != std::string_view::npos) {
            converged = true;
        }
    }
    if (converged) {
        facts.converged = Tristate::yes;
    } else if (!markers.converged.empty() && facts.geometries > 1) {
        // Several steps and no converged line: an optimisation that stopped short.
        facts.converged = Tristate::no;
    }
}

} // namespace

FileFacts readfacts(const std::string& path) {
    FileFacts facts;
    facts.file = path;
    const Detection d = detectinputtype(path);
    if (d.type.empty()) {
        facts.error = d.reason;
        return facts;
    }
    const ReaderEntry& reader = *findinputtype(d.type);
    facts.type = std::string(d.type);
    facts.program = std::string(reader.run.program);
    Options options;
    options.inputtype = facts.type;
    options.inputfile = path;
    std::ostringstream log, err;
    RunContext context(log, err);
    Store s(options, context);
    try {
        readasconversion(s);
    } catch (const RunError& e) {
        facts.error = e.what();
        if (e.line > 0) {
            facts.error = "line " + std::to_string(e.line) + ": " + facts.error;
        }
        return facts;
    }
    facts.atoms = s.nat;
    facts.formula = hillformula(s);
    facts.geometries = s.ngeom;
    for (int g = 1; g <= s.ngeom; ++g) {
        facts.energies.push_back(s.egeo(g));
    }
    if (s.energy != 0.0) {
        facts.energy = s.energy;
    }
    facts.ended = s.ended;
    facts.frequencies = s.nvib;
    for (int m = 1; m <= s.nvib; ++m) {
        if (!facts.lowest || s.vibs(m) < *facts.lowest) {
            facts.lowest = s.vibs(m);
        }
        facts.imaginary += s.vibs(m) < 0.0 ? 1 : 0;
    }
    facts.profile = energyprofileline(s);
    facts.imaginarylist = imaginarymodesline(s);
    scanmarkers(reader.run, path, facts);
    return facts;
}
