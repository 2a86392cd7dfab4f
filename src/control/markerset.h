// Fixed texts that readers look for in every line of a long output, found in one pass over the
// line however many there are.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

/// Up to 64 markers, each found where the line padded with blanks to the record length holds it
/// (so a marker that ends in blanks is also found at the end of a shorter line).
class MarkerSet {
  public:
    explicit MarkerSet(std::initializer_list<std::string_view> markers);
    /// Bit i set when marker i (in the order given) stands in the line.
    std::uint64_t find(std::string_view line) const;
    /// The same without vector instructions, as on a processor that lacks them.
    std::uint64_t findportable(std::string_view line) const;

    /// Where a scan of a whole text stops: the start of a line that may hold a marker (the
    /// text's length when no line after `from` may), and how many lines it passed over.
    struct NextLine {
        std::size_t start;
        long long passed;
    };
    /// From `from`, a line start in `text`, the next line that may hold a marker: a line that
    /// holds one is never passed over, some lines named hold none. Without vector instructions,
    /// or with markers of one character or of blanks, every line may.
    NextLine nextcandidate(std::string_view text, std::size_t from) const;

    /// How often each pair of adjacent bytes stands in (a sample of) a text, at 256 times the
    /// first byte plus the second.
    using PairCounts = std::vector<std::uint32_t>;
    /// The same markers, each anchored on its pair that the counts meet least often: a scan of
    /// the text they were taken from then stops at fewer lines.
    MarkerSet anchoredin(const PairCounts& counts) const;

  private:
    MarkerSet() = default;
    struct Marker {
        std::string text;
        std::size_t core = 0; // length without the trailing blanks
        std::size_t pair = 0; // offset of its rarest two adjacent characters, looked for first
    };
    bool at(std::string_view line, std::size_t start, const Marker& m) const;
    // The markers whose pair starts at i, compared in full.
    void candidates(std::string_view line, std::size_t i, std::uint64_t& found) const;
    void rest(std::string_view line, std::uint64_t& found) const;
    std::uint64_t findvector(std::string_view line) const;
    NextLine nextcandidatevector(std::string_view text, std::size_t from) const;
    static std::size_t rarestpair(const Marker& m, const PairCounts* counts);
    void index(const PairCounts* counts);
    void placeingroups(const PairCounts* counts);

    std::vector<Marker> markers_;
    std::array<std::uint64_t, 256> byfirst_{};  // the markers whose pair starts with each byte
    std::array<std::uint64_t, 256> bysecond_{}; // and those whose pair ends with it
    std::array<unsigned char, 256> first_{};    // 1 for a byte that starts any pair
    // Eight groups of markers: for each group, the low and the high half-bytes of the pairs'
    // first and second characters, so that a vector table lookup tests 32 places at once.
    std::array<unsigned char, 16> lowfirst_{}, highfirst_{}, lowsecond_{}, highsecond_{};
    std::uint64_t single_ = 0; // markers of one character before any blanks, looked for plainly
    std::uint64_t blank_ = 0;  // markers of blanks only, looked for plainly
};
