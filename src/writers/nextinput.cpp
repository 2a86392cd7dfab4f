// What an input for the next calculation carries besides the atoms: the charge, the
// multiplicity and the method line, each the user's if given, else the run's, else a default
// that a note on standard error names.
#include "control/control.h"
#include "store/store.h"
#include "writers/writers.h"

#include <ostream>
#include <sstream>

namespace {

// A new start reads its geometry from the input and starts its own guess, so the route words
// that take them from a checkpoint file are dropped ("geom=check", "Geom(AllCheck)", ...).
bool checkpointword(std::string_view word) {
    std::string w = upcase(word);
    std::erase(w, ')');
    if (const std::size_t paren = w.find('('); paren != std::string::npos) {
        w[paren] = '=';
    }
    return w == "GEOM=CHECK" || w == "GEOM=ALLCHECK" || w == "GUESS=READ" || w == "GUESS=CHECK";
}

std::string gaussianroute(std::string_view route) {
    std::istringstream words{std::string(route)};
    std::string kept;
    for (std::string word; words >> word;) {
        if (!checkpointword(word)) {
            kept += (kept.empty() ? "" : " ") + word;
        }
    }
    return kept;
}

// A METHOD without the line's own mark gets it: "! " for ORCA, "#p " for Gaussian.
std::string marked(std::string_view method, NextProgram program) {
    const char mark = program == NextProgram::orca ? '!' : '#';
    if (method.starts_with(mark)) {
        return std::string(method);
    }
    return std::string(program == NextProgram::orca ? "! " : "#p ") + std::string(method);
}

} // namespace

NextInput nextinput(const Store& s, NextProgram program, bool note) {
    NextInput next;
    const bool runprints = s.runmult >= 1;
    next.charge = s.charge.value_or(runprints ? s.runcharge : 0);
    next.mult = s.mult.value_or(runprints ? s.runmult : 1);
    if (note && !runprints && (!s.charge || !s.mult)) {
        s.err() << "kru: note: the run does not print its charge and multiplicity; the input has "
                   "charge "
                << next.charge << " and multiplicity " << next.mult
                << " (CHARGE and MULT, --charge and --mult, set them)\n";
    }

    const bool orca = program == NextProgram::orca;
    if (!s.method.empty()) {
        next.method = marked(s.method, program);
        return next;
    }
    const std::string own = orca ? s.runkeywords : gaussianroute(s.runroute);
    if (!own.empty()) {
        next.method = own;
        return next;
    }
    next.method = orca ? "! r2SCAN-3c Opt" : "#p B3LYP/6-31G(d) Opt";
    if (note) {
        const bool other = orca ? !s.runroute.empty() : !s.runkeywords.empty();
        s.err() << "kru: note: "
                << (other ? (orca ? "a Gaussian route is no ORCA method line"
                                  : "ORCA's \"!\" lines are no Gaussian route")
                          : "the run gives no method line")
                << "; the input has the default " << next.method
                << " (METHOD, --method, sets another)\n";
    }
    return next;
}
