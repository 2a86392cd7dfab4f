// Upper-casing of ASCII letters only, so that bytes of other encodings pass unchanged.
#include "control/control.h"

std::string upcase(std::string_view text) {
    std::string r(text);
    for (char& c : r) {
        if (c >= 'a' && c <= 'z') {
            c = char(c - 'a' + 'A');
        }
    }
    return r;
}
