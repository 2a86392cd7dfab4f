// The suggestion for a mistyped type name.
#include "control/control.h"
#include "control/detect.h"

#include <algorithm>

namespace {

// Edits from one text to the other: a character changed, inserted, deleted, or two neighbours
// swapped ("OCRA" is one edit from "ORCA").
std::size_t edits(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    std::vector<std::size_t> d((n + 1) * (m + 1));
    auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * (m + 1) + j]; };
    for (std::size_t i = 0; i <= n; ++i) {
        at(i, 0) = i;
    }
    for (std::size_t j = 0; j <= m; ++j) {
        at(0, j) = j;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
            }
        }
    }
    return at(n, m);
}

} // namespace

std::string_view nearesttypename(std::string_view name, TypeKind kind) {
    const std::string wanted = upcase(trimright(trimleft(name)));
    const std::size_t allowed = wanted.size() <= 4 ? 1 : 2;
    std::string_view best;
    std::size_t bestedits = allowed + 1;
    for (const std::string_view known : typenames(kind)) {
        const std::size_t e = edits(wanted, known);
        if (e < bestedits) {
            best = known;
            bestedits = e;
        }
    }
    return best;
}
