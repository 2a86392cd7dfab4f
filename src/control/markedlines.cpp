// One scan of the text finds the lines that may hold a marker; only those are searched in full,
// and what they hold is kept for the next pass.
#include "control/markedlines.h"

#include <algorithm>

void MarkedLines::scanfrom(std::size_t start) {
    marked_.clear();
    coveredfrom_ = start;
    scanned_ = start;
    scannedlines_ = in_.lineno();
}

// Scans on to the next marked line or the end of the text; false at the end with none found.
bool MarkedLines::scanfurther() {
    const std::string_view text = in_.text();
    while (scanned_ < text.size()) {
        const MarkerSet::NextLine candidate = set_.nextcandidate(text, scanned_);
        scannedlines_ += candidate.passed;
        scanned_ = candidate.start;
        if (scanned_ >= text.size()) {
            break;
        }
        const std::size_t start = scanned_;
        const std::uint64_t found = set_.find(linefrom(text, start, scanned_));
        ++scannedlines_;
        if (found != 0) {
            marked_.push_back({start, scannedlines_, found});
            return true;
        }
    }
    return false;
}

bool MarkedLines::next(std::string_view& line, std::uint64_t& found, bool everyline) {
    if (everyline) {
        if (!in_.getline(line)) {
            return false;
        }
        found = set_.find(line);
        return true;
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
        if (!scanfurther()) {
            in_.seek(scanned_, scannedlines_);
            found = 0;
            return in_.getline(line);
        }
        if (marked_.back().start < position) {
            ++first;
        }
    }
    in_.seek(marked_[first].start, marked_[first].number - 1);
    found = marked_[first].found;
    return in_.getline(line);
}
