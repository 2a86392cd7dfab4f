// The molecular formula in the order chemists look it up in.
#include "control/commands.h"
#include "control/control.h"
#include "store/atominfo.h"

#include <map>

std::string hillformula(const Store& s) {
    std::map<std::string, int> counts;
    for (int a = 1; a <= s.nat; ++a) {
        ++counts[std::string(trimright(defatnamlow(s.iat(a))))];
    }
    std::string formula;
    const auto add = [&](const std::string& symbol, int count) {
        formula += symbol;
        if (count > 1) {
            formula += std::to_string(count);
        }
    };
    const bool carbon = counts.contains("C");
    if (carbon) {
        add("C", counts["C"]);
        counts.erase("C");
        if (counts.contains("H")) {
            add("H", counts["H"]);
            counts.erase("H");
        }
    }
    for (const auto& [symbol, count] : counts) {
        add(symbol, count);
    }
    return formula;
}
