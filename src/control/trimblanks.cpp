// Text without the blanks and tabs around it, for lines whose words stand anywhere.
#include "control/control.h"

std::string_view trimblanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}
