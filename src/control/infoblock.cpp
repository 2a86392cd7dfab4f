// One file's facts for a reader of the terminal: a label and a value a line, so that a further
// fact is one more row.
#include "control/commands.h"

#include <cstdio>
#include <utility>
#include <vector>

std::string infoblock(const FileFacts& f) {
    std::vector<std::pair<std::string, std::string>> rows;
    if (!f.error.empty()) {
        rows.emplace_back("error", f.error);
    } else {
        rows.emplace_back("type", f.type);
        if (!f.program.empty()) {
            rows.emplace_back("program", f.program + " " +
                                             (f.version.empty() ? "(version unknown)" : f.version));
        }
        rows.emplace_back("atoms", std::to_string(f.atoms) + ", " + f.formula);
        rows.emplace_back("geometries", std::to_string(f.geometries));
        rows.emplace_back("energy", f.energy ? fixeddecimals(*f.energy, 8) + " Hartree" : "none");
        rows.emplace_back("normal end", std::string(tristatename(f.ended)));
        rows.emplace_back("converged", std::string(tristatename(f.converged)));
        std::string frequencies = "none";
        if (f.frequencies > 0) {
            frequencies = std::to_string(f.frequencies) + ", lowest " +
                          fixeddecimals(*f.lowest, 2) + " cm-1, " + std::to_string(f.imaginary) +
                          " imaginary";
        }
        rows.emplace_back("frequencies", frequencies);
        if (!f.profile.empty()) {
            rows.emplace_back("profile", f.profile);
        }
        if (!f.imaginarylist.empty()) {
            rows.emplace_back("imaginary", f.imaginarylist.substr(f.imaginarylist.find(':') + 2));
        }
    }
    std::string block = f.file + '\n';
    for (const auto& [label, value] : rows) {
        block += "  " + label + std::string(label.size() < 13 ? 13 - label.size() : 1, ' ') +
                 value + '\n';
    }
    return block;
}
