// Numeric suffixes for side-file names.
#include "control/control.h"

std::string getsuffix(long long number) {
    return std::to_string(number);
}

std::string getsuffix2(long long itid, long long mxtid) {
    if (mxtid < itid) {
        myexit("itid > mxtid : impossible", "getsuffix2");
    }
    const std::size_t width = std::to_string(mxtid).size();
    std::string digits = std::to_string(itid);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}
