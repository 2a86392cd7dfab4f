// Names of the side files a run writes next to its output file.
#include "control/control.h"
#include "store/store.h"

std::string sidefilename(const Store& s, std::string_view suffix) {
    std::string name = s.outputfile;
    name += suffix;
    return name;
}
