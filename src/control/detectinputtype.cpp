// Tells an input file's type: the content tests of every input type run on the file's first
// lines, the most specific fit wins, and the extension decides between equal fits.
#include "control/detect.h"
#include "control/dispatch.h"
#include "control/filehead.h"

#include <algorithm>
#include <filesystem>

namespace {

std::string joined(const std::vector<std::string_view>& names, std::string_view last) {
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0) {
            text += k + 1 == names.size() ? last : ", ";
        }
        text += names[k];
    }
    return text;
}

std::string fromchoices(const std::vector<std::string_view>& names) {
    std::string text;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0) {
            text += k + 1 == names.size() ? " or " : ", ";
        }
        text += "--from ";
        text += names[k];
    }
    return text;
}

} // namespace

Detection detectinputtype(std::string_view name, const FileHead& head) {
    Fit best = Fit::none;
    std::vector<const ReaderEntry*> fits;
    for (const ReaderEntry& r : inputtypes()) {
        const Fit fit = r.fit == nullptr ? Fit::none : r.fit(head);
        if (fit == Fit::none || fit < best) {
            continue;
        }
        if (fit > best) {
            best = fit;
            fits.clear();
        }
        fits.push_back(&r);
    }
    Detection d;
    if (fits.size() == 1) {
        d.type = fits.front()->type;
        return d;
    }
    std::vector<std::string_view> named;
    const std::span<const ReaderEntry> all = inputtypes();
    for (const ReaderEntry& r : all) {
        const bool among = fits.empty() || std::find(fits.begin(), fits.end(), &r) != fits.end();
        if (among && r.fit != nullptr && namehasextension(name, r.extensions)) {
            named.push_back(r.type);
        }
    }
    if (!fits.empty() && named.size() == 1) {
        d.type = named.front();
        return d;
    }
    if (fits.empty()) {
        d.candidates = named;
        d.reason = "no known input type recognised in its first lines; ";
        // A name such as "job.out" that many programs' outputs share narrows nothing down.
        d.reason += named.empty() || named.size() > 3
                        ? "name the type with --from TYPE (kru --help lists them)"
                        : "by its name it may be " + joined(named, " or ") +
                              ": name the type with " + fromchoices(named);
        return d;
    }
    for (const ReaderEntry* r : fits) {
        d.candidates.push_back(r->type);
    }
    d.reason = "its first lines fit " + joined(d.candidates, " and ") +
               " alike and its name does not tell them apart; name the type with " +
               fromchoices(d.candidates);
    return d;
}

Detection detectinputtype(const std::string& path) {
    FileHead head;
    if (!head.load(path)) {
        Detection d;
        d.reason = std::filesystem::exists(path) ? "cannot be read" : "no such file";
        return d;
    }
    return detectinputtype(path, head);
}
