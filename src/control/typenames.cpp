// The type names of the dispatch tables, for hints and messages.
#include "control/detect.h"
#include "control/dispatch.h"

std::vector<std::string_view> typenames(TypeKind kind) {
    std::vector<std::string_view> names;
    if (kind == TypeKind::input) {
        for (const ReaderEntry& r : inputtypes()) {
            names.push_back(r.type);
        }
    } else {
        for (const WriterEntry& w : outputtypes()) {
            names.push_back(w.type);
        }
    }
    return names;
}
