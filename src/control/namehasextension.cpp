// The extension test of the type tables.
#include "control/detect.h"

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool endsnocase(std::string_view name, std::string_view end) {
    if (end.size() > name.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - end.size());
    for (std::size_t k = 0; k < end.size(); ++k) {
        if (lower(tail[k]) != lower(end[k])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool namehasextension(std::string_view name, std::string_view extensions) {
    if (endsnocase(name, ".gz")) {
        name.remove_suffix(3);
    }
    while (!extensions.empty()) {
        const std::size_t blank = extensions.find(' ');
        const std::string_view one = extensions.substr(0, blank);
        // The extension must leave a name before it.
        if (!one.empty() && name.size() > one.size() && endsnocase(name, one) &&
            name[name.size() - one.size() - 1] != '/') {
            return true;
        }
        extensions = blank == std::string_view::npos ? "" : extensions.substr(blank + 1);
    }
    return false;
}
