// The hint for a type name that no row of the dispatch tables has.
#include "control/control.h"
#include "control/detect.h"

std::string unknowntypehint(std::string_view name, TypeKind kind) {
    const std::string_view given = trimright(trimleft(name));
    std::string hint(given);
    hint += kind == TypeKind::input ? ": unknown input type" : ": unknown output type";
    const std::string_view nearest = nearesttypename(given, kind);
    if (nearest.empty()) {
        hint += kind == TypeKind::input ? "; input types:" : "; output types:";
    } else {
        hint += "; did you mean ";
        hint += nearest;
        hint += kind == TypeKind::input ? "? Input types:" : "? Output types:";
    }
    for (const std::string_view known : typenames(kind)) {
        hint += ' ';
        hint += known;
    }
    return hint;
}
