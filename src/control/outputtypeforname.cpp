// The output type an output file's name asks for.
#include "control/detect.h"
#include "control/dispatch.h"

std::string_view outputtypeforname(std::string_view name) {
    for (const WriterEntry& w : outputtypes()) {
        if (namehasextension(name, w.extensions)) {
            return w.type;
        }
    }
    return {};
}
