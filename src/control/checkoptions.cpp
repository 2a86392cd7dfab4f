// Settles the options once they are all known, however they were set.
#include "control/control.h"
#include "store/store.h"

#include <filesystem>
#include <ostream>

namespace {

bool exists(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(name), ec);
}

} // namespace

void checkoptions(Store& s) {
    if (s.newkmatrix) {
        s.reorder = false; // a K-matrix file fixes the order
    }
    if (!exists(s.path(s.inputfile))) {
        s.log() << "Inputfile " << s.inputfile << " of type " << padright(s.inputtype, 6)
                << " does not exist\n";
        myexit("Inputfile does not exist", "processinput");
    }
}
