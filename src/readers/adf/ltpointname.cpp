// Names of the transit-point files, after the output file: out.xyz gives out.xyz.lt03.xyz.
#include "control/control.h"
#include "readers/adf/adfreaders.h"
#include "store/store.h"

std::string ltpointname(const Store& s, std::string_view suffix, std::string_view kind) {
    return s.outputfile + ".lt" + std::string(suffix) + std::string(kind);
}
