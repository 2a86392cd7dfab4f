// Comment removal: everything from the first "!" on is blanked, keeping the line's length.
#include "control/control.h"

void cleanupline(std::string& line) {
    const std::size_t bang = line.find('!');
    if (bang != std::string::npos) {
        std::fill(line.begin() + std::ptrdiff_t(bang), line.end(), ' ');
    }
}
