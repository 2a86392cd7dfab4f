// libFuzzer target: arbitrary bytes as the control input. A RunError is the orderly end of a
// run; anything else that escapes or a sanitizer report is a finding.
#include "control/control.h"
#include "fuzzinput.h"
#include "store/store.h"

#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kfuzz::makescratch();
    kfuzz::writefiles({}); // an empty "in", so that a control input naming it gets to its end
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream control(std::string(reinterpret_cast<const char*>(data), size));
    Store s(kfuzz::context());
    try {
        processinput(s, control);
    } catch (const RunError&) {
    }
    return 0;
}
