// One scan of the text finds the lines that may hold a marker; only those are searched in full,
// and what they hold is kept for the next pass.
#include "control/markedlines.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>

namespace {

// Scans `text` from `at` (a line start with `lines` lines before it) on to the next marked line,
// which is added to `into`; false at the end of the text with none found.
bool scanfurther(const MarkerSet& set, std::string_view text, std::size_t& at, long long& lines,
                 std::vector<MarkedLines::Marked>& into) {
    while (at < text.size()) {
        const MarkerSet::NextLine candidate = set.nextcandidate(text, at);
        lines += candidate.passed;
        at = candidate.start;
        if (at >= text.size()) {
            break;
        }
        const std::size_t start = at;
        const std::string_view line = linefrom(text, start, at);
        const std::uint64_t found = set.find(line);
        ++lines;
        if (found != 0) {
            into.push_back({start, at, line.size(), lines, found});
            return true;
        }
    }
    return false;
}

// Every marked line of a text, with the lines it holds; false when there are more than `most`.
bool scanwhole(const MarkerSet& set, std::string_view text, std::vector<MarkedLines::Marked>& into,
               long long& lines, std::size_t most) {
    std::size_t at = 0;
    lines = 0;
    while (scanfurther(set, text, at, lines, into)) {
        if (into.size() > most) {
            return false;
        }
    }
    return true;
}

// How often each pair of bytes stands in a text, as sixteen pieces spread over it show.
MarkerSet::PairCounts samplepairs(std::string_view text) {
    constexpr std::size_t pieces = 16, piece = 16384;
    MarkerSet::PairCounts counts(65536, 0);
    const auto count = [&counts](std::string_view part) {
        for (std::size_t i = 0; i + 1 < part.size(); ++i) {
            ++counts[static_cast<unsigned char>(part[i]) * 256u +
                     static_cast<unsigned char>(part[i + 1])];
        }
    };
    if (text.size() <= pieces * piece) {
        count(text);
    } else {
        for (std::size_t k = 0; k < pieces; ++k) {
            count(text.substr((text.size() - piece) / (pieces - 1) * k, piece));
        }
    }
    return counts;
}

} // namespace

// The markers of a long text are looked for by the pairs it holds least often; a short text is
// scanned with the set as it is, as counting its pairs would cost more than the scan saves.
const MarkerSet& MarkedLines::scanset() {
    if (in_.text().size() < longfrom_) {
        return set_;
    }
    if (!anchored_) {
        anchored_ = set_.anchoredin(samplepairs(in_.text()));
    }
    return *anchored_;
}

void MarkedLines::scanfrom(std::size_t start) {
    marked_.clear();
    coveredfrom_ = start;
    scanned_ = start;
    scannedlines_ = in_.lineno();
}

// The second half of the text (from a line start) in a thread of its own; nothing is kept when
// the halves hold more marked lines than may be kept, and the scan goes on line by line.
void MarkedLines::scaninhalves() {
    triedhalves_ = true;
    const std::string_view text = in_.text();
    const std::size_t lineend = text.find('\n', text.size() / 2);
    if (text.size() < longfrom_ || lineend == std::string_view::npos) {
        return;
    }
    const std::string_view first = text.substr(0, lineend + 1);
    const std::string_view second = text.substr(lineend + 1);
    const MarkerSet& set = scanset();
    std::vector<Marked> secondmarked;
    long long firstlines = 0, secondlines = 0;
    bool firstwhole = false, secondwhole = false;
    {
        // Out of memory in the thread, the scan goes on line by line; without a thread to be
        // had, the halves are scanned one after the other.
        const auto scansecond = [&] {
            try {
                secondwhole = scanwhole(set, second, secondmarked, secondlines, mostkept_ / 2);
            } catch (const std::bad_alloc&) {
                secondwhole = false;
            }
        };
        std::jthread worker;
        try {
            worker = std::jthread(scansecond);
        } catch (const std::system_error&) {
            scansecond();
        }
        firstwhole = scanwhole(set, first, marked_, firstlines, mostkept_ / 2);
    }
    if (!firstwhole || !secondwhole) {
        marked_.clear();
        return;
    }
    for (Marked& m : secondmarked) {
        marked_.push_back({m.start + first.size(), m.next + first.size(), m.length,
                           m.number + firstlines, m.found});
    }
    coveredfrom_ = 0;
    scanned_ = text.size();
    scannedlines_ = firstlines + secondlines;
}

bool MarkedLines::next(std::string_view& line, std::uint64_t& found, bool everyline) {
    if (everyline) {
        if (!in_.getline(line)) {
            return false;
        }
        found = set_.find(line);
        return true;
    }
    if (!triedhalves_) {
        scaninhalves();
    }
    const std::size_t position = in_.position();
    if (position < coveredfrom_) {
        scanfrom(position);
    }
    std::size_t first =
        std::size_t(std::lower_bound(marked_.begin(), marked_.end(), position,
                                     [](const Marked& m, std::size_t at) { return m.start < at; }) -
                    marked_.begin());
    // Lines the reader read itself are scanned too, so that what is kept stays whole.
    while (first == marked_.size()) {
        if (marked_.size() >= mostkept_) {
            marked_.clear();
            first = 0;
            coveredfrom_ = scanned_;
        }
        if (!scanfurther(scanset(), in_.text(), scanned_, scannedlines_, marked_)) {
            in_.seek(scanned_, scannedlines_);
            found = 0;
            return in_.getline(line);
        }
        if (marked_.back().start < position) {
            ++first;
        }
    }
    // The line is handed out as the scan found it: its bytes are fetched from memory only
    // where the reader looks at them, which on a long file is for a few of the lines.
    const Marked& m = marked_[first];
    line = in_.text().substr(m.start, m.length);
    in_.seek(m.next, m.number);
    found = m.found;
    return true;
}
