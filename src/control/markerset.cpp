// One pass over a line finds every marker of a set: each marker is anchored on its rarest
// character, and only where that character occurs is the whole marker compared.
#include "control/markerset.h"

#include "control/files.h"

#include <bit>
#include <cassert>
#include <cstring>

namespace {

// Characters from the most to the least common in program outputs; any other byte is rarer
// still. Only the order matters, and only for speed.
constexpr std::string_view common =
    " 0123456789.-eEtaoinsrhldcumfpgwybvkxjqz+TAOINSRHLDCUMFPGWYBVKXJQZ"
    ":=,()/*_'\"#![]{}<>|%&;?@\\^`~$";

std::size_t rarity(char c) {
    const std::size_t k = common.find(c);
    return k == std::string_view::npos ? common.size() : k;
}

} // namespace

MarkerSet::MarkerSet(std::initializer_list<std::string_view> markers) {
    assert(markers.size() <= 64);
    for (const std::string_view text : markers) {
        Marker m;
        m.text = text;
        m.core = text.find_last_not_of(' ') + 1; // 0 for a marker of blanks only
        for (std::size_t k = 0; k < m.core; ++k) {
            if (rarity(text[k]) > rarity(text[m.anchor])) {
                m.anchor = k;
            }
        }
        const std::uint64_t bit = std::uint64_t(1) << markers_.size();
        if (m.core == 0) {
            blank_ |= bit;
        } else {
            byanchor_[static_cast<unsigned char>(text[m.anchor])] |= bit;
            anchor_[static_cast<unsigned char>(text[m.anchor])] = 1;
        }
        markers_.push_back(std::move(m));
    }
}

// Marker m at position start of the padded line: its non-blank part within the line, its
// trailing blanks either in the line or in the padding, all of it within the record.
bool MarkerSet::at(std::string_view line, std::size_t start, const Marker& m) const {
    if (start + m.text.size() > recordlength || start + m.core > line.size() ||
        line[start + m.core - 1] != m.text[m.core - 1] ||
        std::memcmp(line.data() + start, m.text.data(), m.core) != 0) {
        return false;
    }
    const std::size_t inline_end = std::min(line.size(), start + m.text.size());
    for (std::size_t k = start + m.core; k < inline_end; ++k) {
        if (line[k] != ' ') {
            return false;
        }
    }
    return true;
}

std::uint64_t MarkerSet::find(std::string_view line) const {
    std::uint64_t found = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    auto at = [&](std::size_t i) {
        std::uint64_t candidates = byanchor_[p[i]] & ~found;
        while (candidates != 0) {
            const int j = std::countr_zero(candidates);
            candidates &= candidates - 1;
            const Marker& m = markers_[std::size_t(j)];
            if (i >= m.anchor && this->at(line, i - m.anchor, m)) {
                found |= std::uint64_t(1) << j;
            }
        }
    };
    // Eight bytes at a time through the small table; only where one of them is an anchor are
    // they looked at one by one.
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const unsigned any = anchor_[p[i]] | anchor_[p[i + 1]] | anchor_[p[i + 2]] |
                             anchor_[p[i + 3]] | anchor_[p[i + 4]] | anchor_[p[i + 5]] |
                             anchor_[p[i + 6]] | anchor_[p[i + 7]];
        if (any != 0) {
            for (std::size_t k = i; k < i + 8; ++k) {
                at(k);
            }
        }
    }
    for (; i < n; ++i) {
        at(i);
    }
    for (std::uint64_t blank = blank_; blank != 0; blank &= blank - 1) {
        const int j = std::countr_zero(blank);
        if (record(line).find(markers_[std::size_t(j)].text) != std::string::npos) {
            found |= std::uint64_t(1) << j;
        }
    }
    return found;
}
