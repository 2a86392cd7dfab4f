// Opens the input file and hands it to the reader of its type.
#include "control/control.h"
#include "control/dispatch.h"
#include "control/files.h"
#include "store/store.h"

#include <array>
#include <iostream>

namespace {

constexpr std::array<ReaderEntry, 0> readers{};

} // namespace

std::span<const ReaderEntry> inputtypes() {
    return readers;
}

void readfile(Store& s) {
    InputFile in;
    if (!in.load(std::string(trimright(s.inputfile)))) {
        myexit("Error opening inputfile", "readfile");
    }
    for (const ReaderEntry& r : inputtypes()) {
        if (fixedtext(r.type, 6) == s.inputtype) {
            r.read(s, in);
            return;
        }
    }
    std::cout << "InputType " << s.inputtype << " not yet implemented. Sorry. Contact "
              << maintainer << '\n';
    myexit("InputType " + s.inputtype + "not yet implemented", "readfile");
}
