// One pass over a line finds every marker of a set: each marker is anchored on its rarest two
// adjacent characters, and only where that pair occurs is the whole marker compared. Where the
// processor has AVX2, 32 places of the line are tested for a pair at once.
#include "control/markerset.h"

#include "control/files.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KRU_MARKERS_AVX2 1
#endif

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

// How often a byte may be expected in an output, for placing markers in the vector test's
// groups; only the order matters.
double commonness(unsigned char c) {
    const double rank = double(common.size() - rarity(char(c)));
    return rank * rank;
}

// The bytes a group's half-byte tables let through, and how often they come up: a group's pairs
// pass every combination of their characters' half-bytes, so pairs placed together must not
// combine to common characters ("A" and ">" in one group let "1" through).
double throughput(const std::array<unsigned char, 16>& low,
                  const std::array<unsigned char, 16>& high, unsigned char group) {
    double sum = 0.0;
    for (unsigned b = 0; b < 256; ++b) {
        if ((low[b & 15u] & high[b >> 4u] & group) != 0) {
            sum += commonness(static_cast<unsigned char>(b));
        }
    }
    return sum;
}

// The same for the pairs a group lets through, counted in a text.
double throughput(const std::array<unsigned char, 16>& low1,
                  const std::array<unsigned char, 16>& high1,
                  const std::array<unsigned char, 16>& low2,
                  const std::array<unsigned char, 16>& high2, unsigned char group,
                  const std::vector<std::uint32_t>& counts) {
    std::vector<unsigned> seconds;
    for (unsigned b = 0; b < 256; ++b) {
        if ((low2[b & 15u] & high2[b >> 4u] & group) != 0) {
            seconds.push_back(b);
        }
    }
    double sum = 0.0;
    for (unsigned a = 0; a < 256; ++a) {
        if ((low1[a & 15u] & high1[a >> 4u] & group) != 0) {
            for (const unsigned b : seconds) {
                sum += counts[a * 256u + b];
            }
        }
    }
    return sum;
}

} // namespace

MarkerSet::MarkerSet(std::initializer_list<std::string_view> markers) {
    assert(markers.size() <= 64);
    for (const std::string_view text : markers) {
        Marker m;
        m.text = text;
        m.core = text.find_last_not_of(' ') + 1; // 0 for a marker of blanks only
        m.pair = rarestpair(m, nullptr);
        markers_.push_back(std::move(m));
    }
    index(nullptr);
}

MarkerSet MarkerSet::anchoredin(const PairCounts& counts) const {
    MarkerSet anchored;
    anchored.markers_ = markers_;
    for (Marker& m : anchored.markers_) {
        m.pair = rarestpair(m, &counts);
    }
    anchored.index(&counts);
    return anchored;
}

// The place of the marker's pair met least often in the counts, where there are counts; else,
// and among pairs met equally often, the pair of the rarest characters.
std::size_t MarkerSet::rarestpair(const Marker& m, const PairCounts* counts) {
    const auto often = [&](std::size_t k) {
        return counts == nullptr ? 0u
                                 : (*counts)[static_cast<unsigned char>(m.text[k]) * 256u +
                                             static_cast<unsigned char>(m.text[k + 1])];
    };
    const auto rare = [&](std::size_t k) { return rarity(m.text[k]) + rarity(m.text[k + 1]); };
    std::size_t best = 0;
    for (std::size_t k = 1; k + 1 < m.core; ++k) {
        if (often(k) < often(best) || (often(k) == often(best) && rare(k) > rare(best))) {
            best = k;
        }
    }
    return best;
}

// The tables of the pairs, each marker's bit under its pair's characters.
void MarkerSet::index(const PairCounts* counts) {
    for (std::size_t j = 0; j < markers_.size(); ++j) {
        const Marker& m = markers_[j];
        const std::uint64_t bit = std::uint64_t(1) << j;
        if (m.core == 0) {
            blank_ |= bit;
        } else if (m.core == 1) {
            single_ |= bit;
        } else {
            const auto c1 = static_cast<unsigned char>(m.text[m.pair]);
            const auto c2 = static_cast<unsigned char>(m.text[m.pair + 1]);
            byfirst_[c1] |= bit;
            bysecond_[c2] |= bit;
            first_[c1] = 1;
        }
    }
    placeingroups(counts);
}

// Each pair goes to the group where it adds the fewest expected false hits (as counted in a
// text, where there are counts), the pairs of common characters first, so that they get groups
// of their own.
void MarkerSet::placeingroups(const PairCounts* counts) {
    std::vector<const Marker*> paired;
    for (const Marker& m : markers_) {
        if (m.core >= 2) {
            paired.push_back(&m);
        }
    }
    const auto pairweight = [counts](const Marker* m) {
        const auto c1 = static_cast<unsigned char>(m->text[m->pair]);
        const auto c2 = static_cast<unsigned char>(m->text[m->pair + 1]);
        return counts != nullptr ? double((*counts)[c1 * 256u + c2])
                                 : commonness(c1) * commonness(c2);
    };
    std::stable_sort(paired.begin(), paired.end(), [&](const Marker* a, const Marker* b) {
        return pairweight(a) > pairweight(b);
    });
    const auto hits = [counts](const auto& low1, const auto& high1, const auto& low2,
                               const auto& high2, unsigned char group) {
        return counts != nullptr ? throughput(low1, high1, low2, high2, group, *counts)
                                 : throughput(low1, high1, group) * throughput(low2, high2, group);
    };
    for (const Marker* m : paired) {
        const auto c1 = static_cast<unsigned char>(m->text[m->pair]);
        const auto c2 = static_cast<unsigned char>(m->text[m->pair + 1]);
        unsigned char best = 1;
        double leastadded = 0.0;
        for (unsigned g = 0; g < 8; ++g) {
            const auto group = static_cast<unsigned char>(1u << g);
            auto low1 = lowfirst_, high1 = highfirst_, low2 = lowsecond_, high2 = highsecond_;
            const double before = hits(low1, high1, low2, high2, group);
            low1[c1 & 15u] |= group;
            high1[c1 >> 4u] |= group;
            low2[c2 & 15u] |= group;
            high2[c2 >> 4u] |= group;
            const double added = hits(low1, high1, low2, high2, group) - before;
            if (g == 0 || added < leastadded) {
                best = group;
                leastadded = added;
            }
        }
        lowfirst_[c1 & 15u] |= best;
        highfirst_[c1 >> 4u] |= best;
        lowsecond_[c2 & 15u] |= best;
        highsecond_[c2 >> 4u] |= best;
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

void MarkerSet::candidates(std::string_view line, std::size_t i, std::uint64_t& found) const {
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    std::uint64_t candidates = byfirst_[p[i]] & bysecond_[p[i + 1]] & ~found;
    while (candidates != 0) {
        const int j = std::countr_zero(candidates);
        candidates &= candidates - 1;
        const Marker& m = markers_[std::size_t(j)];
        if (i >= m.pair && at(line, i - m.pair, m)) {
            found |= std::uint64_t(1) << j;
        }
    }
}

// The markers without a pair: one character, or blanks only.
void MarkerSet::rest(std::string_view line, std::uint64_t& found) const {
    if ((single_ | blank_) == 0) {
        return;
    }
    for (std::uint64_t single = single_; single != 0; single &= single - 1) {
        const int j = std::countr_zero(single);
        const Marker& m = markers_[std::size_t(j)];
        for (std::size_t i = line.find(m.text[0]); i != std::string_view::npos;
             i = line.find(m.text[0], i + 1)) {
            if (at(line, i, m)) {
                found |= std::uint64_t(1) << j;
                break;
            }
        }
    }
    for (std::uint64_t blank = blank_; blank != 0; blank &= blank - 1) {
        const int j = std::countr_zero(blank);
        if (record(line).find(markers_[std::size_t(j)].text) != std::string::npos) {
            found |= std::uint64_t(1) << j;
        }
    }
}

std::uint64_t MarkerSet::findportable(std::string_view line) const {
    std::uint64_t found = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t pairs = line.size() < 2 ? 0 : line.size() - 1; // places a pair can start
    // Eight places at a time through the small table; only where one of them starts a pair are
    // they looked at one by one.
    std::size_t i = 0;
    for (; i + 8 <= pairs; i += 8) {
        const unsigned any = first_[p[i]] | first_[p[i + 1]] | first_[p[i + 2]] | first_[p[i + 3]] |
                             first_[p[i + 4]] | first_[p[i + 5]] | first_[p[i + 6]] |
                             first_[p[i + 7]];
        if (any != 0) {
            for (std::size_t k = i; k < i + 8; ++k) {
                candidates(line, k, found);
            }
        }
    }
    for (; i < pairs; ++i) {
        candidates(line, i, found);
    }
    rest(line, found);
    return found;
}

#ifdef KRU_MARKERS_AVX2

namespace {

constexpr std::uintptr_t pagesize = 4096; // the smallest page of the processor

// Bit g of each byte set where the byte at that place may be the character of group g, after
// its low and its high half-byte.
__attribute__((target("avx2"))) __m256i groupsof(__m256i bytes, __m256i low, __m256i high) {
    const __m256i nibble = _mm256_set1_epi8(15);
    const __m256i lows = _mm256_shuffle_epi8(low, _mm256_and_si256(bytes, nibble));
    const __m256i highs =
        _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
    return _mm256_and_si256(lows, highs);
}

__attribute__((target("avx2"))) __m256i table(const std::array<unsigned char, 16>& t) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data())));
}

// The half-byte tables of the pairs' first and second characters, in vector registers.
struct PairTables {
    __m256i low1, high1, low2, high2;
};

// Bit k set where a pair of some marker may start at p[k], for the 32 places from p (33 bytes
// read). The line search reads past a line's end within its page (see findvector), so the
// loads are hidden from the address checker here too.
__attribute__((target("avx2"), no_sanitize("address"))) std::uint32_t
pairplaces(const PairTables& t, const char* p) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
    const __m256i groups =
        _mm256_and_si256(groupsof(first, t.low1, t.high1), groupsof(second, t.low2, t.high2));
    return ~static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(groups, _mm256_setzero_si256())));
}

} // namespace

// Reads up to 32 bytes past a line's end, never past its memory page: hidden from the address
// checker, which knows nothing of pages.
__attribute__((target("avx2"), no_sanitize("address"))) std::uint64_t
MarkerSet::findvector(std::string_view line) const {
    std::uint64_t found = 0;
    const std::size_t pairs = line.size() < 2 ? 0 : line.size() - 1;
    const PairTables tables{table(lowfirst_), table(highfirst_), table(lowsecond_),
                            table(highsecond_)};
    for (std::size_t i = 0; i < pairs; i += 32) {
        const char* p = line.data() + i;
        std::uint32_t inside = ~0u;
        alignas(32) char tail[64];
        if (i + 33 > line.size()) {
            inside = (1u << (pairs - i)) - 1; // pairs - i < 32 here
            // The bytes past the line are read where they lie on the same memory page as the
            // line's own (and then masked out); only where the line may end with readable
            // memory do its last bytes go through a copy.
            if (std::uintptr_t(p) % pagesize > pagesize - 33) {
                std::memset(tail, 0, sizeof tail);
                std::memcpy(tail, p, line.size() - i);
                p = tail;
            }
        }
        for (std::uint32_t hits = pairplaces(tables, p) & inside; hits != 0; hits &= hits - 1) {
            candidates(line, i + std::size_t(std::countr_zero(hits)), found);
        }
    }
    rest(line, found);
    return found;
}

// The text 32 places at a time, newlines counted on the way, up to the first place where a pair
// may start; its line is then the caller's to look at in full.
__attribute__((target("avx2"))) MarkerSet::NextLine
MarkerSet::nextcandidatevector(std::string_view text, std::size_t from) const {
    const PairTables tables{table(lowfirst_), table(highfirst_), table(lowsecond_),
                            table(highsecond_)};
    const __m256i newline = _mm256_set1_epi8('\n');
    std::size_t linestart = from;
    long long passed = 0;
    alignas(32) char tail[64];
    for (std::size_t i = from; i < text.size(); i += 32) {
        const char* p = text.data() + i;
        std::uint32_t inside = ~0u;
        if (i + 33 > text.size()) {
            // The last bytes, through a copy: the text's own end is never read past.
            const std::size_t left = text.size() - i; // 1 to 32
            inside = left == 32 ? ~0u : (1u << left) - 1;
            std::memset(tail, 0, sizeof tail);
            std::memcpy(tail, p, left);
            p = tail;
        }
        const std::uint32_t hits = pairplaces(tables, p) & inside;
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        std::uint32_t ends =
            static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, newline))) &
            inside;
        if (hits != 0) {
            ends &= (std::uint32_t(1) << std::countr_zero(hits)) - 1; // those before the pair
        }
        if (ends != 0) {
            passed += std::popcount(ends);
            linestart = i + std::size_t(32 - std::countl_zero(ends));
        }
        if (hits != 0) {
            return {linestart, passed};
        }
    }
    // A last line without its line end is passed over too.
    return {text.size(), passed + (linestart < text.size() ? 1 : 0)};
}

std::uint64_t MarkerSet::find(std::string_view line) const {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    return avx2 ? findvector(line) : findportable(line);
}

MarkerSet::NextLine MarkerSet::nextcandidate(std::string_view text, std::size_t from) const {
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    if (avx2 && (single_ | blank_) == 0) {
        return nextcandidatevector(text, from);
    }
    return {from, 0};
}

#else

std::uint64_t MarkerSet::findvector(std::string_view line) const {
    return findportable(line);
}

std::uint64_t MarkerSet::find(std::string_view line) const {
    return findportable(line);
}

MarkerSet::NextLine MarkerSet::nextcandidate(std::string_view, std::size_t from) const {
    return {from, 0};
}

#endif
