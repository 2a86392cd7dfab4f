// Trimmed length and the trimming helpers; only the blank counts as blank, not tab.
#include "control/control.h"

int len_trim(std::string_view text) {
    return int(trimright(text).size());
}

std::string_view trimright(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view trimleft(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string fixedtext(std::string_view text, std::size_t n) {
    std::string r(text.substr(0, n));
    r.resize(n, ' ');
    return r;
}

std::string padright(std::string_view text, std::size_t n) {
    std::string r(text);
    if (r.size() < n) {
        r.resize(n, ' ');
    }
    return r;
}
