// The energy on the comment line of a frame of a multi-frame XYZ file: xtb's "energy: E gnorm: G"
// in Hartree, or the "energy" key of an extended XYZ line in eV. Other keys, "free_energy" among
// them, are passed over; a value in quotes or brackets may hold blanks.
#include "readers/readers.h"
#include "store/store.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// A finite number that fills the whole text, with or without a point or an exponent.
bool wholenumber(std::string_view text, double& value) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// The characters from `at` up to the first blank or "=", or a quoted or bracketed value as a
// whole (the quotes or brackets dropped, a backslash escaping the next character); `at` moves
// past it.
std::string_view word(std::string_view line, std::size_t& at) {
    const char open = at < line.size() ? line[at] : ' ';
    const char close = open == '"' ? '"' : open == '{' ? '}' : open == '[' ? ']' : ' ';
    if (close != ' ') {
        const std::size_t begin = ++at;
        while (at < line.size() && line[at] != close) {
            at += line[at] == '\\' ? 2 : 1;
        }
        const std::size_t end = std::min(at, line.size());
        at = std::min(at + 1, line.size());
        return line.substr(begin, end - begin);
    }
    const std::size_t begin = at;
    while (at < line.size() && !blank(line[at]) && line[at] != '=') {
        ++at;
    }
    return line.substr(begin, at - begin);
}

void skipblanks(std::string_view line, std::size_t& at) {
    while (at < line.size() && blank(line[at])) {
        ++at;
    }
}

} // namespace

bool commentenergy(std::string_view line, double& hartree) {
    std::size_t at = 0;
    skipblanks(line, at);
    while (at < line.size()) {
        const std::string_view key = word(line, at);
        skipblanks(line, at);
        if (at < line.size() && line[at] == '=') {
            ++at;
            skipblanks(line, at);
            const std::string_view value = word(line, at);
            double ev = 0.0;
            if (key == "energy" && wholenumber(value, ev)) {
                hartree = ev / ev_per_hartree;
                return true;
            }
        } else if (key == "energy:") {
            double e = 0.0;
            if (wholenumber(word(line, at), e)) {
                hartree = e;
                return true;
            }
        }
        skipblanks(line, at);
    }
    return false;
}
