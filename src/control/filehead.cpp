// The head of a file for the content tests: a bounded read, split into lines once.
#include "control/filehead.h"
#include "control/control.h"
#include "control/files.h"
#include "control/freeread.h"

#include <zlib.h>

namespace {

// A label (a name or an element number) and then that many numbers as the first fields.
bool labelthennumbers(const FreeRead& f, int numbers) {
    const FieldKind label = f.fndorder(1).kind;
    if (label != FieldKind::string && label != FieldKind::integer) {
        return false;
    }
    for (int k = 2; k <= 1 + numbers; ++k) {
        const FieldKind kind = f.fndorder(k).kind;
        if (kind != FieldKind::real && kind != FieldKind::integer) {
            return false;
        }
    }
    return true;
}

} // namespace

FileHead::FileHead(std::string_view text) : text_(text.substr(0, maxbytes)) {
    split();
}

// zlib reads a plain file as it is, so one reader serves both kinds.
bool FileHead::load(const std::string& path) {
    gzFile f = gzopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    text_.resize(maxbytes);
    std::size_t have = 0;
    int got = 0;
    while (have < maxbytes &&
           (got = gzread(f, text_.data() + have, unsigned(maxbytes - have))) > 0) {
        have += std::size_t(got);
    }
    gzclose(f);
    text_.resize(have);
    split();
    return got >= 0;
}

void FileHead::split() {
    lines_.clear();
    const std::string_view text = text_;
    std::size_t start = 0;
    while (start < text.size() && lines_.size() < maxlines) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines_.push_back(line.substr(0, recordlength));
        start = end + 1;
    }
}

bool FileHead::contains(std::string_view marker) const {
    for (const std::string_view line : lines_) {
        if (line.find(marker) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

bool FileHead::firstword(std::string_view word) const {
    for (const std::string_view line : lines_) {
        const std::string_view rest = trimleft(line);
        const std::size_t end = rest.find_first_of(" \t");
        const std::string_view first = rest.substr(0, end);
        if (first.size() == word.size() && upcase(first) == upcase(word)) {
            return true;
        }
    }
    return false;
}

bool FileHead::atomline(std::string_view line, int numbers) {
    const FreeRead f = freerd(line);
    return f.nfndt >= 1 + numbers && labelthennumbers(f, f.nfndt - 1);
}

int FileHead::xyzframes() const {
    int frames = 0;
    std::size_t at = 0;
    while (at < lines_.size()) {
        const FreeRead count = freerd(lines_[at]);
        if (count.nfndt != 1 || count.nfndi != 1 || count.fndintegers(1) < 1) {
            return frames;
        }
        // The first atom line starts with a label; whether the lines hold their numbers is the
        // reader's to judge, with a message that names the line.
        if (at + 2 < lines_.size()) {
            const FreeRead atom = freerd(lines_[at + 2]);
            const FieldKind label = atom.fndorder(1).kind;
            if (label != FieldKind::string && label != FieldKind::integer) {
                return frames;
            }
        }
        ++frames;
        at += 2 + std::size_t(count.fndintegers(1));
    }
    return frames;
}
